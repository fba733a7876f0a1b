#pragma once

#include "dialogs/DialogBuilder.h"
#include "format/FormatTable.h"

#include <array>

// Edits the ten registered words; "登録" confirms.
class CTangoDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit CTangoDlg(QWidget* parent = nullptr);

    std::array<QString, FormatTable::WordCount> words;
};
