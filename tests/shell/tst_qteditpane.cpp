#include "shell/framework/QtEditPane.h"
#include "support/MemoryPane.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

// The Qt pane keeps a CR without its LF as a marker in its document. Whatever replaces a
// selection next to a marker (keys, input method, paste, drop, the program's own
// replacements) must make ordinary text, never more CRs.
class TestQtEditPane : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void inputOverASelectionAtALoneCr_data();
    void inputOverASelectionAtALoneCr();
    void tripleClickOnALineEndingInALoneCr();
    void newLineAfterALoneCr();
    void aLoneCrIsDrawnAsAMarker();
    void undoLikeTheMemoryPane();

private:
    std::unique_ptr<PaneWidget> widget;
    QtEditPane& pane() { return widget->pane(); }
};

void TestQtEditPane::init()
{
    widget = std::make_unique<PaneWidget>();
    widget->resize(400, 300);
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
    widget->activateWindow();
    widget->setFocus();
}

void TestQtEditPane::cleanup()
{
    widget.reset();
}

namespace {
enum class Input { Keys, InputMethod, Paste, Drop, Replace };

// (start, end) with the caret at `caret`: a selection made backwards has its caret at start.
struct Select {
    qsizetype anchor;
    qsizetype caret;
};
} // namespace

Q_DECLARE_METATYPE(Input)
Q_DECLARE_METATYPE(Select)

void TestQtEditPane::inputOverASelectionAtALoneCr_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys"); // how the selection is made, when not by `select`
    QTest::addColumn<Select>("select");
    QTest::addColumn<Input>("input");
    QTest::addColumn<QString>("expected");

    const QString aCrB = QStringLiteral("a\rb\r\n");
    const auto row = [](const char* name, const QString& text, const QString& keys, Select s, Input input,
                        const QString& expected) {
        QTest::newRow(name) << text << keys << s << input << expected;
    };
    // Ctrl+Home, Shift+Right twice: "a\r" selected, the caret after the marker.
    row("[a\\r]b: keys over Shift+Right x2", aCrB, "home right right", {}, Input::Keys,
        QStringLiteral("xyb\r\n"));
    row("[a\\r]b: input method over Shift+Right x2", aCrB, "home right right", {}, Input::InputMethod,
        QStringLiteral("xyb\r\n"));
    row("[a\\r]b: paste over Shift+Right x2", aCrB, "home right right", {}, Input::Paste,
        QStringLiteral("xyb\r\n"));
    row("[a\\r]b: drop over Shift+Right x2", aCrB, "home right right", {}, Input::Drop,
        QStringLiteral("xyb\r\n"));
    row("[a\\r]b: replaceSelection", aCrB, {}, {0, 2}, Input::Replace, QStringLiteral("xyb\r\n"));
    row("[\\ra]b backwards: keys", QStringLiteral("\rab"), {}, {2, 0}, Input::Keys, QStringLiteral("xyb"));
    row("[\\ra]b forwards: keys", QStringLiteral("\rab"), {}, {0, 2}, Input::Keys, QStringLiteral("xyb"));
    row("a[\\r]b backwards: keys", aCrB, {}, {2, 1}, Input::Keys, QStringLiteral("axyb\r\n"));
    row("a\\r|b: keys after the marker", aCrB, {}, {2, 2}, Input::Keys, QStringLiteral("a\rxyb\r\n"));
    row("a|\\rb: keys before the marker", aCrB, {}, {1, 1}, Input::Keys, QStringLiteral("axy\rb\r\n"));
    row("[ab\\r\\r] on Shift+End: keys", QStringLiteral("ab\r\r\r\ncd"), "home end", {}, Input::Keys,
        QStringLiteral("xy\r\ncd"));
    row("[ab\\r\\r] on Shift+End: input method", QStringLiteral("ab\r\r\r\ncd"), "home end", {},
        Input::InputMethod, QStringLiteral("xy\r\ncd"));
}

void TestQtEditPane::inputOverASelectionAtALoneCr()
{
    QFETCH(QString, text);
    QFETCH(QString, keys);
    QFETCH(Select, select);
    QFETCH(Input, input);
    QFETCH(QString, expected);

    pane().setText(text);
    if (keys.isEmpty()) {
        QTextCursor c(widget->document());
        c.setPosition(pane().toDocumentPosition(select.anchor));
        c.setPosition(pane().toDocumentPosition(select.caret), QTextCursor::KeepAnchor);
        widget->setTextCursor(c);
    } else {
        for (const QString& k : keys.split(u' ')) {
            if (k == u"home")
                QTest::keyClick(widget.get(), Qt::Key_Home, Qt::ControlModifier);
            else if (k == u"right")
                QTest::keyClick(widget.get(), Qt::Key_Right, Qt::ShiftModifier);
            else if (k == u"end")
                QTest::keyClick(widget.get(), Qt::Key_End, Qt::ShiftModifier);
        }
    }

    switch (input) {
    case Input::Keys:
        QTest::keyClicks(widget.get(), QStringLiteral("xy"));
        break;
    case Input::InputMethod: {
        QInputMethodEvent preedit(QStringLiteral("x"), {});
        QApplication::sendEvent(widget.get(), &preedit);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("xy"));
        QApplication::sendEvent(widget.get(), &commit);
        break;
    }
    case Input::Paste:
        QApplication::clipboard()->setText(QStringLiteral("xy"));
        QTest::keyClick(widget.get(), Qt::Key_V, Qt::ControlModifier);
        break;
    case Input::Drop: {
        // A text dropped onto the selection it was dragged over replaces it.
        QMimeData data;
        data.setText(QStringLiteral("xy"));
        const QPoint at = widget->cursorRect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget->viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget->viewport(), &drop);
        QVERIFY2(drop.isAccepted(), "the pane refused the dropped text");
        // Where the drop lands follows the mouse; what it inserted must read back as typed.
        QVERIFY2(pane().text().contains(u"xy"), qPrintable(pane().text()));
        QCOMPARE(pane().text().count(u'\r'), text.count(u'\r'));
        return;
    }
    case Input::Replace:
        pane().replaceSelection(QStringLiteral("xy"));
        break;
    }
    QCOMPARE(pane().text(), expected);
    QCOMPARE(pane().length(), expected.size());
    // And what follows the insertion is ordinary text too.
    QTest::keyClicks(widget.get(), QStringLiteral("z"));
    const qsizetype z = pane().text().indexOf(u'z');
    QVERIFY2(z > 0 && pane().text()[z - 1] == u'y', qPrintable(pane().text()));
}

void TestQtEditPane::tripleClickOnALineEndingInALoneCr()
{
    const auto tripleClick = [this](const QTextCursor& at) {
        const QPoint p = widget->cursorRect(at).center();
        QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, p);
    };
    pane().setText(QStringLiteral("ab\r\r\ncd\r"));
    // The last line has no line break after it: the selection ends right after its marker.
    tripleClick(QTextCursor(widget->document()->lastBlock()));
    QCOMPARE(pane().selection().start, 5);
    QCOMPARE(pane().selection().end, 8);
    QTest::keyClicks(widget.get(), QStringLiteral("xy"));
    QCOMPARE(pane().text(), QStringLiteral("ab\r\r\nxy"));

    // A line with a line break after it is selected with its break.
    tripleClick(QTextCursor(widget->document()));
    QCOMPARE(pane().selection().start, 0);
    QCOMPARE(pane().selection().end, 5);
    QTest::keyClicks(widget.get(), QStringLiteral("q"));
    QCOMPARE(pane().text(), QStringLiteral("qxy"));
}

void TestQtEditPane::newLineAfterALoneCr()
{
    // A new line started right after a marker, and the text typed on it, are plain.
    pane().setText(QStringLiteral("a\r"));
    pane().setSelection(2, 2);
    QTest::keyClick(widget.get(), Qt::Key_Return);
    QTest::keyClicks(widget.get(), QStringLiteral("b"));
    QCOMPARE(pane().text(), QStringLiteral("a\r\r\nb"));
    pane().setSelection(0, 2);
    QTest::keyClick(widget.get(), Qt::Key_Return);
    QTest::keyClicks(widget.get(), QStringLiteral("c"));
    QCOMPARE(pane().text(), QStringLiteral("\r\nc\r\nb"));
}

void TestQtEditPane::aLoneCrIsDrawnAsAMarker()
{
    pane().setText(QString());
    const QImage empty = widget->viewport()->grab().toImage();
    pane().setText(QStringLiteral("\r"));
    QVERIFY2(widget->viewport()->grab().toImage() != empty, "the marker of a lone CR is invisible");
    pane().setSelection(0, 0);
    const int before = widget->cursorRect().left();
    pane().setSelection(1, 1);
    QVERIFY2(widget->cursorRect().left() > before, "the marker of a lone CR takes no room");
}

void TestQtEditPane::undoLikeTheMemoryPane()
{
    // Each replacement that changes the text is one undo step; one that changes nothing
    // is none, so the undo after it takes back the change before.
    MemoryPane memory;
    const QStringList edits = {QStringLiteral("a\rb"), QString(), QStringLiteral("\r\n"), QString()};
    pane().setText(QString());
    for (const QString& e : edits) {
        pane().replaceSelection(e);
        memory.replaceSelection(e);
    }
    for (int undo = 0; undo < 2; ++undo) {
        widget->undo();
        memory.undo();
        QCOMPARE(pane().text(), memory.text());
    }
    QCOMPARE(pane().text(), QString());
    QVERIFY(!memory.canUndo());
}

QTEST_MAIN(TestQtEditPane)
#include "tst_qteditpane.moc"
