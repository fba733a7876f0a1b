#include "core/res/CommandIds.h"
#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/ActionSet.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "support/DialogAnswers.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void menuBarIsComplete();
    void ctrlDigitInsertsRegisteredWords();
    void ctrlKeypadDigitInsertsNothing();
    void formatCommandsFollowTheirTexts();
    void copyAllUsesTheCodePage();
    void lineBreaksCountTwoAndLoneCrSurvives();
    void pasteStopsAtTheLimit();
    void exitWritesEverySettingOnce();

private:
    QtEditPane& pane() { return app->mainFrame()->view()->paneWidget()->pane(); }
    PaneWidget* widget() { return app->mainFrame()->view()->paneWidget(); }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

void TestMainWindow::init()
{
    dir = std::make_unique<QTemporaryDir>();
    app = std::make_unique<CKumorialApp>();
    app->InitInstance({}, dir->path());
    QVERIFY(QTest::qWaitForWindowExposed(app->mainFrame()));
    widget()->activateWindow();
    widget()->setFocus();
}

void TestMainWindow::cleanup()
{
    if (app->mainFrame())
        app->mainFrame()->view()->modified = 0;
    app.reset();
    dir.reset();
}

void TestMainWindow::menuBarIsComplete()
{
    QStringList titles;
    for (QAction* a : app->mainFrame()->menuBar()->actions())
        titles << a->text();
    QCOMPARE(titles, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "書式", "ヘルプ(&H)"}));
    ActionSet* actions = app->mainFrame()->actionSet();
    QCOMPARE(actions->action(Cmd::FileNew)->text(), QStringLiteral("新規作成\tCtrl+N(&N)"));
    QCOMPARE(actions->action(Cmd::BaseImage)->text(), QStringLiteral("画像(G)"));
    QCOMPARE(actions->action(Cmd::Find)->statusTip(), QStringLiteral("文字列の検索"));
}

void TestMainWindow::ctrlDigitInsertsRegisteredWords()
{
    QTest::keyClicks(widget(), QStringLiteral("ab"));
    pane().setSelection(0, 1);
    QTest::keyClick(widget(), Qt::Key_0, Qt::ControlModifier);
    QTest::keyClick(widget(), Qt::Key_3, Qt::ControlModifier);
    QTest::keyClick(widget(), Qt::Key_9, Qt::ControlModifier);
    QCOMPARE(pane().text(), QStringLiteral("a(*^^*)(-_-;)(^^)/~ byeb"));
    QCOMPARE(app->mainFrame()->view()->modified, 1);
    // One undo step per word.
    QTest::keyClick(widget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(pane().text(), QStringLiteral("a(*^^*)(-_-;)b"));
}

void TestMainWindow::ctrlKeypadDigitInsertsNothing()
{
    QTest::keyClicks(widget(), QStringLiteral("ab"));
    app->mainFrame()->view()->modified = 0;
    for (int key = Qt::Key_0; key <= Qt::Key_9; ++key)
        QTest::keyClick(widget(), Qt::Key(key), Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(pane().text(), QStringLiteral("ab"));
    QCOMPARE(app->mainFrame()->view()->modified, 0);
    // The keypad still types digits, and the main keyboard's keys still insert words.
    QTest::keyClick(widget(), Qt::Key_5, Qt::KeypadModifier);
    QTest::keyClick(widget(), Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(pane().text(), QStringLiteral("ab5(o^^o)"));
}

void TestMainWindow::formatCommandsFollowTheirTexts()
{
    ActionSet* actions = app->mainFrame()->actionSet();
    QMenu* format = nullptr;
    for (QAction* a : app->mainFrame()->menuBar()->actions())
        if (a->text() == QStringLiteral("書式"))
            format = a->menu();
    QVERIFY(format);
    actions->updateMenu(format);
    QVERIFY(actions->action(Cmd::BaseLink)->isEnabled());
    QVERIFY(!actions->action(Cmd::BaseHeading)->isEnabled());
    QVERIFY(!actions->action(Cmd::BaseQuote)->isEnabled());

    app->mainFrame()->view()->formats().base[13] = {QStringLiteral("<h3>"), QString()};
    actions->updateMenu(format);
    QVERIFY(actions->action(Cmd::BaseHeading)->isEnabled());

    pane().setText(QStringLiteral("abc"));
    pane().setSelection(1, 2);
    actions->action(Cmd::BaseHeading)->trigger();
    actions->action(Cmd::BaseBold)->trigger();
    QCOMPARE(pane().text(), QStringLiteral("a<h3>b<B></B>c"));
    QCOMPARE(pane().selection(), (EditPane::Selection{13, 13}));
}

void TestMainWindow::copyAllUsesTheCodePage()
{
    pane().setText(QStringLiteral("日本語 € ①\r\n2行目"));
    QString message;
    TestSupport::answerNext<QMessageBox>(QMessageBox::Ok, &message);
    QVERIFY(app->mainFrame()->router().dispatchIfEnabled(Cmd::CopyAll));
    // The € the code page lacks is counted in the message.
    QCOMPARE(message, QStringLiteral("全文をクリップボードにコピーしました\n1 文字は「?」に置き換えました"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("日本語 ? ①\r\n2行目"));

    pane().setText(QString());
    QVERIFY(!app->mainFrame()->router().query(Cmd::CopyAll).enabled);
    QVERIFY(!app->mainFrame()->router().query(Cmd::EditSelectAll).enabled);
    QVERIFY(!app->mainFrame()->router().query(Cmd::OpenBlogPage).enabled);
}

void TestMainWindow::lineBreaksCountTwoAndLoneCrSurvives()
{
    const QString text = QStringLiteral("ab\r\ncd\re\r\n\r\nf");
    pane().setText(text);
    QCOMPARE(pane().text(), text);
    QCOMPARE(pane().length(), text.size());
    QCOMPARE(app->mainFrame()->view()->modified, 0); // setting the whole text is no edit
    pane().setSelection(4, 7);                       // "cd\r"
    QCOMPARE(pane().selection(), (EditPane::Selection{4, 7}));
    pane().replaceSelection(QStringLiteral("X\rY\nZ"));
    QCOMPARE(pane().text(), QStringLiteral("ab\r\nX\rY\r\nZe\r\n\r\nf"));
    QCOMPARE(pane().selection(), (EditPane::Selection{10, 10}));
    QCOMPARE(app->mainFrame()->view()->modified, 1);
    // Typing after a lone CR makes ordinary text, not more CRs.
    pane().setSelection(6, 6);
    QTest::keyClicks(widget(), QStringLiteral("q"));
    QCOMPARE(pane().text(), QStringLiteral("ab\r\nX\rqY\r\nZe\r\n\r\nf"));
    widget()->undo();
    widget()->undo();
    QCOMPARE(pane().text(), text);
}

void TestMainWindow::pasteStopsAtTheLimit()
{
    // A full pane of 80-character lines, three characters short of the limit.
    QString full = QString(78, u'a').append(u"\r\n").repeated(EditPane::TextLimit / 80);
    full.append(QString(EditPane::TextLimit - 3 - full.size(), u'a'));
    pane().setText(full);
    QApplication::clipboard()->setText(QStringLiteral("12\r\n45"));
    pane().setSelection(pane().length(), pane().length());
    QTest::keyClick(widget(), Qt::Key_V, Qt::ControlModifier);
    // "12" fits, the line break would not.
    QCOMPARE(pane().length(), EditPane::TextLimit - 1);
    QVERIFY(pane().text().endsWith(u"a12"));
    QTest::keyClicks(widget(), QStringLiteral("xyz"));
    QCOMPARE(pane().length(), EditPane::TextLimit);
    QVERIFY(pane().text().endsWith(u"a12x"));
}

void TestMainWindow::exitWritesEverySettingOnce()
{
    app->mainFrame()->view()->formats().words[3] = QStringLiteral("新しい単語");
    app->mainFrame()->close();
    app->ExitInstance();
    QFile ini(dir->filePath(QStringLiteral("Kumorial.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    int keys = 0;
    for (const QString& section : {QStringLiteral("[Option]"), QStringLiteral("[Font]"),
                                   QStringLiteral("[UserWord]"), QStringLiteral("[Format]")}) {
        const qsizetype at = text.indexOf(section);
        QVERIFY2(at >= 0, qPrintable(section));
        const qsizetype next = text.indexOf(QStringLiteral("\n["), at);
        const QStringList lines = text.mid(at, next < 0 ? -1 : next - at).split(u'\n', Qt::SkipEmptyParts);
        keys += lines.size() - 1;
    }
    QCOMPARE(keys, 74);
    QVERIFY(text.contains(QStringLiteral("Word03=新しい単語")));
    QVERIFY(text.contains(QStringLiteral("Face=ＭＳ ゴシック")));
    QVERIFY(text.contains(QStringLiteral("Size=14")));

    // The next start reads them back.
    app = std::make_unique<CKumorialApp>();
    app->InitInstance({}, dir->path());
    QCOMPARE(app->mainFrame()->view()->formats().words[3], QStringLiteral("新しい単語"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
