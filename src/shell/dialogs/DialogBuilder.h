#pragma once

#include "core/res/DialogTemplates.h"

#include <QDialog>
#include <QFont>
#include <QSize>
#include <functional>
#include <map>

class QIcon;
class QKeyEvent;
class QLineEdit;

// A single-line edit never holds a line break, however the text arrives: pasted lines are
// joined.
void keepOnOneLine(QLineEdit* edit);

// A dialog built from a template: controls placed by converting dialog units with the
// template font's average character size, the default button, tab order and initial focus
// as the template says. Text fields bound to control IDs are written into the controls when
// the dialog is first shown and read back on OK, unchecked.
class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    // `font` replaces the template's font (the dialog scales with it).
    explicit TemplateDialog(int templateId, QWidget* parent = nullptr, const QFont* font = nullptr);

    // Average character width and height of the dialog font: the dialog base units.
    QSize baseUnits() const { return base; }
    QWidget* control(int id) const;
    template <class T> T* controlAs(int id) const { return qobject_cast<T*>(control(id)); }

    void setControlText(int id, const QString& text);
    QString controlText(int id) const;
    // Turns a static control into a clickable, underlined, blue link. `font`, when given,
    // is the link's font (underlined here).
    void makeLink(int id, std::function<void()> onClick, const QFont* font = nullptr);
    // Shows `icon` in the template's icon control.
    void setIcon(const QIcon& icon);

    // Data exchange of a text field with an edit or static control. Binding an ID for which
    // the template has no such control is a fault in the program and stops it.
    void bindText(int id, QString& field);

    void accept() override;

protected:
    // Runs when the dialog is first shown, after the fields were written into the controls.
    virtual void initDialog() {}
    // Every key press reaching the dialog or one of its controls comes here first; true
    // keeps it from the dialog's own handling.
    virtual bool preTranslateKey(QKeyEvent* event);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void writeFields();
    void readFields();

    const DialogTemplate& data;
    QSize base;
    std::map<int, QWidget*> byId;
    QWidget* iconControl = nullptr;
    std::map<int, QString*> textFields;
    std::map<QWidget*, std::function<void()>> links;
    bool initialised = false;
    struct KeySeen {
        const QKeyEvent* event = nullptr;
        quint64 timestamp = 0;
        int key = 0;
        bool operator==(const KeySeen&) const = default;
    };
    KeySeen lastKey;
};
