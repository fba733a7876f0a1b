#pragma once

#include "core/search/FindReplace.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modeless find or replace dialog. It reports every request, closing included, to its
// handler; it deletes itself once closed.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Find, Replace };
    using Handler = std::function<void(const FindRequest&)>;

    FindDialog(Kind kind, const FindReplace& preset, Handler handler, QWidget* parent);

    Kind kind() const { return dialogKind; }

    void done(int result) override;

private:
    void send(FindFlag request);
    void updateButtons();

    Kind dialogKind;
    Handler report;
    bool closing = false;
    QLineEdit* findEdit = nullptr;
    QLineEdit* replaceEdit = nullptr;
    QCheckBox* matchCaseBox = nullptr;
    QRadioButton* upButton = nullptr;
    QRadioButton* downButton = nullptr;
    QPushButton* findNextButton = nullptr;
    QPushButton* replaceButton = nullptr;
    QPushButton* replaceAllButton = nullptr;
};
