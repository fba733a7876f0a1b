#include "shell/view/CKumorialView.h"

#include "shell/framework/QtEditPane.h"
#include "shell/view/ViewPrinting.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

void printPaneText(const QString& text, const QFont& font, QPrinter& printer)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', QChar(PaneWidget::LoneCrMarker));
    QTextDocument document;
    document.setDefaultFont(font);
    document.setPlainText(plain);
    document.print(&printer);
}

void CKumorialView::registerPrintCommands()
{
    const auto print = [this](QPrinter& printer) {
        printPaneText(pane->pane().text(), pane->font(), printer);
    };
    commandMap.on(Cmd::FilePrint, [this, print] {
        QPrinter printer;
        QPrintDialog dialog(&printer, pane->window());
        if (dialog.exec() == QDialog::Accepted)
            print(printer);
    });
    commandMap.on(Cmd::FilePrintDirect, [print] {
        QPrinter printer;
        print(printer);
    });
    commandMap.on(Cmd::FilePrintPreview, [this, print] {
        QPrinter printer;
        QPrintPreviewDialog dialog(&printer, pane->window());
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [print](QPrinter* target) { print(*target); });
        dialog.exec();
    });
}
