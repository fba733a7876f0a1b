#include "core/base/Prompts.h"
#include "core/format/Markup.h"
#include "core/res/CommandIds.h"
#include "core/search/Search.h"
#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "support/DialogAnswers.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>

// The pane at its limit of 1,048,575 characters keeps working and never grows past it;
// and the in-memory pane that the core tests rely on edits exactly like the Qt pane.
class TestFullPane : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void fullPaneKeepsWorking_data();
    void fullPaneKeepsWorking();
    void wrapOnAFullPaneKeepsTheSelectedText();
    void copyAllTakesTheWholeFullPane();
    void memoryPaneEditsLikeTheQtPane_data();
    void memoryPaneEditsLikeTheQtPane();

private:
    QtEditPane& pane() { return app->mainFrame()->view()->paneWidget()->pane(); }
    PaneWidget* widget() { return app->mainFrame()->view()->paneWidget(); }

    // 13,107 lines of 78 characters and a last line that fills the pane exactly; the
    // first line begins with "WORD".
    static QString fullText()
    {
        QString t = QString(78, u'a').append(u"\r\n").repeated(EditPane::TextLimit / 80);
        t.append(QString(EditPane::TextLimit - t.size(), u'a'));
        t.replace(0, 4, QStringLiteral("WORD"));
        return t;
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

void TestFullPane::initTestCase()
{
    dir = std::make_unique<QTemporaryDir>();
    app = std::make_unique<CKumorialApp>();
    app->InitInstance({}, dir->path());
    QVERIFY(QTest::qWaitForWindowExposed(app->mainFrame()));
    widget()->setFocus();
}

void TestFullPane::cleanupTestCase()
{
    app->mainFrame()->view()->modified = 0;
    app.reset();
}

void TestFullPane::init()
{
    pane().setText(fullText());
    QCOMPARE(pane().length(), EditPane::TextLimit);
}

void TestFullPane::fullPaneKeepsWorking_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("head");          // the text's start afterwards
    QTest::addColumn<qsizetype>("length");      // its length afterwards
    QTest::addColumn<qsizetype>("breaksAdded"); // CR LF pairs gained or lost

    const qsizetype full = EditPane::TextLimit, lines = EditPane::TextLimit / 80;
    QTest::newRow("typing and Return add nothing") << "type"
                                                   << "WORDaa" << full << qsizetype(0);
    QTest::newRow("paste over 4 characters takes 4, the line break whole")
        << "paste"
        << "XY\r\naa" << full << qsizetype(1);
    QTest::newRow("Replace All growing: every hit keeps what fits") << "replace a by bb"
                                                                    << "WORDbb" << full << qsizetype(0);
    QTest::newRow("Replace All shrinking") << "replace WORD by nothing"
                                           << "aaaa" << full - 4 << qsizetype(0);
    QTest::newRow("Replace All of every line break") << "replace CR LF by !"
                                                     << "WORDaa" << full - lines << -lines;
}

void TestFullPane::fullPaneKeepsWorking()
{
    QFETCH(QString, action);
    QFETCH(QString, head);
    QFETCH(qsizetype, length);
    QFETCH(qsizetype, breaksAdded);
    const qsizetype breaksBefore = pane().text().count(u"\r\n");
    NullPrompts prompts;

    if (action == u"type") {
        pane().setSelection(6, 6);
        QTest::keyClicks(widget(), QStringLiteral("xyz"));
        QTest::keyClick(widget(), Qt::Key_Return);
    } else if (action == u"paste") {
        QApplication::clipboard()->setText(QStringLiteral("XY\nWZ12345"));
        pane().setSelection(0, 4);
        QTest::keyClick(widget(), Qt::Key_V, Qt::ControlModifier);
    } else if (action == u"replace a by bb") {
        ReplaceAllFromTop(pane(), prompts, QStringLiteral("a"), QStringLiteral("bb"));
        QVERIFY(!pane().text().contains(u'a'));
    } else if (action == u"replace WORD by nothing") {
        ReplaceAllFromTop(pane(), prompts, QStringLiteral("WORD"), QString());
    } else {
        ReplaceAllFromTop(pane(), prompts, QStringLiteral("\r\n"), QStringLiteral("!"));
    }

    QCOMPARE(pane().text().left(head.size()), head);
    QCOMPARE(pane().length(), length);
    QCOMPARE(pane().text().size(), length);
    QCOMPARE(pane().text().count(u"\r\n"), breaksBefore + breaksAdded);
    // The edit is one undo step, and undoing it gives the full pane back.
    if (action != u"type") {
        widget()->undo();
        QCOMPARE(pane().text(), fullText());
    }
}

void TestFullPane::wrapOnAFullPaneKeepsTheSelectedText()
{
    pane().setSelection(0, 4);
    WrapSelection(pane(), QStringLiteral("<B>"), QStringLiteral("</B>"));
    QVERIFY(pane().length() <= EditPane::TextLimit);
    // The markup does not fit: nothing changes, nothing is lost.
    QCOMPARE(pane().text(), fullText());
}

void TestFullPane::copyAllTakesTheWholeFullPane()
{
    QApplication::clipboard()->clear();
    QString message;
    TestSupport::answerNext<QMessageBox>(QMessageBox::Ok, &message);
    QVERIFY(app->mainFrame()->router().dispatchIfEnabled(Cmd::CopyAll));
    QCOMPARE(message, QStringLiteral("全文をクリップボードにコピーしました"));
    QCOMPARE(QApplication::clipboard()->text(), fullText());
}

void TestFullPane::memoryPaneEditsLikeTheQtPane_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("end");

    QTest::newRow("[ab\\r|\\ncd]: caret inside a line break")
        << QStringLiteral("ab\r\ncd") << qsizetype(3) << qsizetype(3);
    QTest::newRow("[a|b\\r|\\ncd]: selection ending inside a line break")
        << QStringLiteral("ab\r\ncd") << qsizetype(1) << qsizetype(3);
    QTest::newRow("[ab\\n|cd]: bare LF set as text")
        << QStringLiteral("ab\ncd") << qsizetype(4) << qsizetype(4);
    QTest::newRow("[a\\r|b]: lone CR") << QStringLiteral("a\rb") << qsizetype(2) << qsizetype(2);
}

void TestFullPane::memoryPaneEditsLikeTheQtPane()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, end);
    MemoryPane memory;
    for (EditPane* p : {static_cast<EditPane*>(&pane()), static_cast<EditPane*>(&memory)}) {
        p->setText(text);
        p->setSelection(start, end);
        WrapSelection(*p, QStringLiteral("<"), QStringLiteral(">\n"));
        InsertAfterSelection(*p, QStringLiteral("!"));
    }
    QCOMPARE(memory.text(), pane().text());
    QCOMPARE(memory.selection(), pane().selection());
    pane().setText(fullText()); // for cleanup's undo-free state
}

QTEST_MAIN(TestFullPane)
#include "tst_fullpane.moc"
