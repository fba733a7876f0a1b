#pragma once

#include "shell/dialogs/DialogBuilder.h"

class CKumorialView;

// The symbol picker: a modeless grid of 200 symbols; the chosen one goes into the view
// behind its selection while the picker keeps the focus. There is at most one.
class CMarkDlg : public TemplateDialog {
    Q_OBJECT
public:
    CMarkDlg(CKumorialView& view, QWidget* parent);
    ~CMarkDlg() override;

    // Opens the picker unless one is open already; returns it, or nullptr when one was open.
    static CMarkDlg* open(CKumorialView& view, QWidget* parent);
    static bool isOpen() { return pickerOpen; }

    int selected() const { return selectedCell; }
    void InsertSelectedSymbol();

    void done(int result) override;

protected:
    void initDialog() override;
    bool preTranslateKey(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void selectAt(const QPoint& point);

    CKumorialView& targetView;
    int selectedCell = -1;
    static bool pickerOpen;
};
