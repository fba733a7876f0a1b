#include "core/format/FormatTable.h"
#include "core/format/Markup.h"
#include "support/DrawnPane.h"
#include "support/MemoryPane.h"

#include <QTest>

// Rows draw the pane: "[" and "]" mark the selection, "|" a caret; after the command
// the caret (nothing is ever left selected) is shown as "|".
using DrawnPane::drawn;
using DrawnPane::paneFrom;

class TestMarkup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wrap_data();
    void wrap();
    void insertAfter_data();
    void insertAfter();
    void undoRestoresTextAndStoredFormsStay();
    void reversedSelectionIsTheSame();
    void wrapThatDoesNotFitChangesNothing();
};

void TestMarkup::wrap_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("after");
    const FormatTable t;
    QTest::newRow("a[b]c bold") << "a[b]c" << t.baseFormat(1).begin << t.baseFormat(1).end << "a<B>b</B>|c";
    QTest::newRow("caret bold") << "ab|c" << t.baseFormat(1).begin << t.baseFormat(1).end << "ab<B></B>|c";
    QTest::newRow("[abc] colour") << "[abc]" << t.baseFormat(6).begin << t.baseFormat(6).end
                                  << R"(<FONT COLOR="red">abc</FONT>|)";
    QTest::newRow("[abc] link") << "[abc]" << t.baseFormat(13).begin << t.baseFormat(13).end
                                << R"(<a href="abc">こちら</a>|)";
    QTest::newRow("[x] heading 1") << "[x]" << t.userFormat(4).begin << t.userFormat(4).end << "= x =|";
    QTest::newRow("[x] user bold") << "[x]" << t.userFormat(1).begin << t.userFormat(1).end << "'''x'''|";
    QTest::newRow("two lines") << "a[b\r\nc]d"
                               << "<P>"
                               << "</P>"
                               << "a<P>b\r\nc</P>|d";
    QTest::newRow("begin only") << "[x]"
                                << "<h3>"
                                << ""
                                << "<h3>x|";
    QTest::newRow("backslashes only") << "[x]"
                                      << "\\"
                                      << "\\"
                                      << "x|";
}

void TestMarkup::wrap()
{
    QFETCH(QString, before);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QString, after);
    MemoryPane pane = paneFrom(before);
    WrapSelection(pane, begin, end);
    QCOMPARE(drawn(pane), after);
    QCOMPARE(pane.changeCount(), 1); // one edit, even when the text stays the same
    QVERIFY(pane.scrollCount() > 0);
}

void TestMarkup::insertAfter_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    const FormatTable t;
    QTest::newRow("[abc] word 0") << "[abc]" << t.words[0] << "abc(*^^*)|";
    QTest::newRow("a[bcd]e picker") << "a[bcd]e"
                                    << "♂"
                                    << "abcd♂|e";
    QTest::newRow("backslash kept") << "|"
                                    << "C:\\"
                                    << "C:\\|";
    QTest::newRow("empty word") << "[ab]c"
                                << ""
                                << "ab|c";
}

void TestMarkup::insertAfter()
{
    QFETCH(QString, before);
    QFETCH(QString, text);
    QFETCH(QString, after);
    MemoryPane pane = paneFrom(before);
    InsertAfterSelection(pane, text);
    QCOMPARE(drawn(pane), after);
}

void TestMarkup::undoRestoresTextAndStoredFormsStay()
{
    const FormatTable t;
    MemoryPane pane = paneFrom("[x]");
    WrapSelection(pane, t.baseFormat(6).begin, t.baseFormat(6).end);
    pane.setSelection(0, -1);
    WrapSelection(pane, t.baseFormat(6).begin, t.baseFormat(6).end);
    QCOMPARE(pane.text(), QStringLiteral(R"(<FONT COLOR="red"><FONT COLOR="red">x</FONT></FONT>)"));
    QCOMPARE(t.baseFormat(6).begin, QStringLiteral(R"(<FONT COLOR=\"red\">)"));
    pane.undo();
    QCOMPARE(pane.text(), QStringLiteral(R"(<FONT COLOR="red">x</FONT>)"));
    pane.undo();
    QCOMPARE(pane.text(), QStringLiteral("x"));
    QVERIFY(!pane.canUndo());
}

void TestMarkup::reversedSelectionIsTheSame()
{
    MemoryPane pane(QStringLiteral("abc"));
    pane.setSelection(2, 1);
    WrapSelection(pane, QStringLiteral("<B>"), QStringLiteral("</B>"));
    QCOMPARE(pane.text(), QStringLiteral("a<B>b</B>c"));
}

void TestMarkup::wrapThatDoesNotFitChangesNothing()
{
    MemoryPane pane(QStringLiteral("abcdef"), 12);
    pane.setSelection(1, 3);
    WrapSelection(pane, QStringLiteral("<B>"), QStringLiteral("</B>")); // would need 13
    QCOMPARE(pane.text(), QStringLiteral("abcdef"));
    QCOMPARE(pane.changeCount(), 0);
    WrapSelection(pane, QStringLiteral("<B>"), QStringLiteral("/B")); // 11 fits
    QCOMPARE(pane.text(), QStringLiteral("a<B>bc/Bdef"));
}

QTEST_GUILESS_MAIN(TestMarkup)
#include "tst_markup.moc"
