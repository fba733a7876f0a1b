#pragma once

#include "shell/dialogs/DialogBuilder.h"

class QComboBox;

// Edits the translucency level and the blog page address.
class COptionDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit COptionDlg(QWidget* parent = nullptr);

    QComboBox* levelCombo = nullptr;
    QString webPageText;
    int levelIndex = 0; // item i stands for (i + 1) × 10 per cent

    // The list index of a stored percentage and back.
    static int indexOfTransparency(int percent);
    static int transparencyOfIndex(int index);

protected:
    void initDialog() override;
};
