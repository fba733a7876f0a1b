#include "core/base/Prompts.h"
#include "core/res/CommandIds.h"
#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/ActionSet.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "shell/view/FindDialog.h"
#include "support/DialogAnswers.h"

#include <QAction>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolBar>
#include <QToolTip>
#include <QWindow>

// File names, search texts and format names are the user's: Qt must neither read them as
// HTML nor take "[*]" in a title for its modified mark.
namespace {
// The text a label puts on the screen, as Qt decides it.
QString shownText(const QLabel* label)
{
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (!rich)
        return label->text();
    QTextDocument doc;
    doc.setHtml(label->text());
    return doc.toPlainText();
}

QLabel* messageLabel(QWidget* box)
{
    return box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
}
} // namespace

class TestUserTexts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void notFoundMessage();
    void fileName_data();
    void fileName();
    void userFormatTooltip_data();
    void userFormatTooltip();

private:
    CMainFrame* frame() { return app->mainFrame(); }
    void start(const QStringList& arguments = {})
    {
        app = std::make_unique<CKumorialApp>();
        app->InitInstance(arguments, dir->path());
        QVERIFY(QTest::qWaitForWindowExposed(frame()));
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

void TestUserTexts::init()
{
    dir = std::make_unique<QTemporaryDir>();
}

void TestUserTexts::cleanup()
{
    QToolTip::hideText();
    if (app && frame())
        frame()->view()->modified = 0;
    app.reset();
    dir.reset();
}

void TestUserTexts::notFoundMessage()
{
    start();
    frame()->view()->paneWidget()->pane().setText(QStringLiteral("text without markup"));
    frame()->actionSet()->action(Cmd::Find)->trigger();
    auto* dialog = frame()->findChild<FindDialog*>();
    QVERIFY(dialog);
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("findWhat")), QStringLiteral("<B>"));
    QString shown = QStringLiteral("<no message box>");
    TestSupport::answerNext<QMessageBox>([&shown](QMessageBox* box) {
        if (QLabel* label = messageLabel(box))
            shown = shownText(label);
        box->button(QMessageBox::Ok)->click();
    });
    dialog->findChild<QPushButton*>(QStringLiteral("findNext"))->click();
    QCOMPARE(shown, QStringLiteral("\"<B>\"が見つかりません"));
}

void TestUserTexts::fileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("tag") << "a<b>c.txt";
    QTest::newRow("entity") << "&lt;.txt";
    QTest::newRow("placeholder") << "a[*]b.txt";
    QTest::newRow("two placeholders") << "[*][*].txt";
    QTest::newRow("placeholder and tag") << "<i>[*]";
}

void TestUserTexts::fileName()
{
    QFETCH(QString, name);
    const QString path = dir->filePath(name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("entry");
    file.close();
    start({path});

    QCOMPARE(frame()->windowHandle()->title(), name + QStringLiteral(" - クモリアル"));
    // The title is read back when the program builds titles of its own.
    QCOMPARE(frame()->prompts().windowTitle(), name + QStringLiteral(" - クモリアル"));

    frame()->view()->modified = 1;
    QString shown = QStringLiteral("<no message box>");
    TestSupport::answerNext<QMessageBox>([&shown](QMessageBox* box) {
        if (QLabel* label = messageLabel(box))
            shown = shownText(label);
        box->button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!frame()->close());
    QCOMPARE(shown, name + QStringLiteral(" への変更を保存しますか？"));
}

void TestUserTexts::userFormatTooltip_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("bold tags") << "<b>x</b>";
    QTest::newRow("lone tag") << "<small>";
    QTest::newRow("tag inside") << "a<i>b";
    QTest::newRow("entity") << "&lt;";
    QTest::newRow("plain") << "太字";
}

void TestUserTexts::userFormatTooltip()
{
    QFETCH(QString, name);
    start();
    frame()->view()->formats().user[0].name = name;
    frame()->view()->publishUserFormatNames();

    QWidget* button =
        frame()->userToolBar->widgetForAction(frame()->actionSet()->action(Cmd::UserFormatFirst));
    QVERIFY(button);
    const QPoint at = button->rect().center();
    QHelpEvent help(QEvent::ToolTip, at, button->mapToGlobal(at));
    QApplication::sendEvent(button, &help);
    QLabel* tip = nullptr;
    QTRY_VERIFY2_WITH_TIMEOUT(
        [&tip] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QStringLiteral("qtooltip_label") && w->isVisible())
                    tip = qobject_cast<QLabel*>(w);
            return tip != nullptr;
        }(),
        "no tooltip shown", 3000);
    QCOMPARE(shownText(tip), name);
}

QTEST_MAIN(TestUserTexts)
#include "tst_usertexts.moc"
