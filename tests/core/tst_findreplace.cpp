#include "core/base/Prompts.h"
#include "core/search/FindReplace.h"
#include "support/DrawnPane.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QTest>

// Rows draw the pane: "[" and "]" mark the selection, "|" a caret.
namespace {
using DrawnPane::drawn;
using DrawnPane::paneFrom;

class FindPrompts final : public NullPrompts {
public:
    Answer messageBox(const QString& text, Buttons buttons, Icon icon) override
    {
        messages << text;
        shownUnderWait = shownUnderWait || depth > 0;
        informationOk = informationOk && buttons == Buttons::Ok && icon == Icon::Information;
        return Answer::Ok;
    }
    void beginWait() override { ++depth; }
    void endWait() override { --depth; }

    QStringList messages;
    bool informationOk = true;
    bool shownUnderWait = false; // a box under the wait cursor
    int depth = 0;
};

const FindFlags down = FindFlag::Down;
const FindFlags up = {};
} // namespace

class TestFindReplace : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void request_data();
    void request();
    void replaceAllIsOneUndoStepAndReplaceIsOne();
    void requestsCopyTheStateButFindNextKeepsTheReplacement();
    void textsAreCutToTheFieldSize();
    void repeatSearch();
    void closingAndUnknownRequests();
};

void TestFindReplace::request_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("notFound");
    const auto row = [](const char* name, const char* before, FindFlags flags, const char* find,
                        const char* replace, const char* after, bool notFound) {
        QTest::newRow(name) << QString::fromUtf8(before) << int(flags.toInt()) << QString::fromUtf8(find)
                            << QString::fromUtf8(replace) << QString::fromUtf8(after) << notFound;
    };
    const FindFlags next = FindFlag::FindNext;
    const FindFlags one = FindFlag::Replace;
    const FindFlags all = FindFlag::ReplaceAll;
    const FindFlags nocase = {};
    const FindFlags cased = FindFlag::MatchCase;

    row("next |abc abc", "|abc abc", next | down | cased, "abc", "", "[abc] abc", false);
    row("next up, hit across the caret", "abc a|bc", next | up | cased, "abc", "", "abc [abc]", false);
    row("next on last hit stays", "abc [abc]", next | down | cased, "abc", "", "abc [abc]", true);
    row("next nocase |ABC", "|ABC", next | down | nocase, "abc", "", "[ABC]", false);

    row("replace hit, select next", "[abc] abc", one | down | cased, "abc", "X", "X [abc]", false);
    row("replace hit under nocase", "[ABC] abc", one | down | nocase, "abc", "X", "X [abc]", false);
    row("replace non-hit selection searches first", "[zz] abc", one | down | cased, "abc", "X", "zz X|",
        true);
    row("replace case-differing selection searches", "[ABC] abc", one | down | cased, "abc", "X", "ABC X|",
        true);
    row("replace selection holding the hit", "[xabc]", one | down | cased, "abc", "X", "xX|", true);
    row("replace selection starting with break", "a[\r\nab]ab", one | down | cased, "ab", "X", "a\r\nX[ab]",
        false);
    row("replace without hit changes nothing", "[zz] xyz", one | down | cased, "abc", "X", "[zz] xyz", true);
    row("replace up, next hit before it", "abc abc|", one | up | cased, "abc", "X", "[abc] X", false);
    row("replace up, own insertion not found", "xa|", one | up | cased, "a", "aa", "xaa|", true);

    row("all from caret down", "abc |abc abc", all | down | cased, "abc", "X", "abc X X|", false);
    row("all non-hit selection", "[zz]abc abc", all | down | cased, "abc", "X", "zzX X|", false);
    row("all nocase", "|ABC abc Abc", all | down | nocase, "abc", "x", "x x x|", false);
    row("all without hit", "|xyz", all | down | cased, "abc", "X", "|xyz", true);
    row("all a by aa down ends", "|aaa", all | down | cased, "a", "aa", "aaaaaa|", false);
    row("all overlaps down", "|aaaa", all | down | cased, "aa", "b", "bb|", false);
    row("all up", "abc abc|", all | up | cased, "abc", "X", "X| X", false);
    row("all a by aa up ends", "aaa|", all | up | cased, "a", "aa", "aa|aaaa", false);
    row("all up, value ends with text", "xa xa|", all | up | cased, "a", "ba", "xba| xba", false);
    row("all overlaps up", "aaaa|", all | up | cased, "aa", "b", "b|b", false);
    row("all up stops at top", "|abc abc", all | up | cased, "abc", "X", "|abc abc", true);
    row("all over line breaks", "|a\r\nb a\r\nb", all | down | cased, "\r\nb", "", "a a|", false);
    row("replace \\nb, none inside a break", "|a\r\nb", one | down | cased, "\nb", "X", "|a\r\nb", true);
    row("all \\nb, none inside a break", "|a\r\nb a\r\nb", all | down | cased, "\nb", "X", "|a\r\nb a\r\nb",
        true);
    row("all a\\r, the lone CR only", "|a\r\na\r", all | down | cased, "a\r", "X", "a\r\nX|", false);
}

void TestFindReplace::request()
{
    QFETCH(QString, before);
    QFETCH(int, flags);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(QString, after);
    QFETCH(bool, notFound);
    MemoryPane pane = paneFrom(before);
    FindPrompts prompts;
    FindReplace finder(pane, prompts);
    const auto outcome = finder.handleRequest({FindFlags::fromInt(flags), find, replace});
    QCOMPARE(outcome, FindReplace::Outcome::Handled);
    QCOMPARE(drawn(pane), after);
    QCOMPARE(prompts.messages,
             notFound ? QStringList{u'"' + find + u'"' + QStringLiteral("が見つかりません")} : QStringList{});
    QVERIFY(prompts.informationOk);
    QVERIFY2(!prompts.shownUnderWait, "the not-found box came up under the wait cursor");
    QCOMPARE(prompts.depth, 0);
}

void TestFindReplace::replaceAllIsOneUndoStepAndReplaceIsOne()
{
    FindPrompts prompts;
    MemoryPane pane(QStringLiteral("ab ab ab"));
    FindReplace finder(pane, prompts);
    finder.handleRequest({FindFlag::ReplaceAll | FindFlag::Down, QStringLiteral("ab"), QStringLiteral("c")});
    QCOMPARE(pane.text(), QStringLiteral("c c c"));
    QCOMPARE(pane.changeCount(), 1);
    pane.undo();
    QCOMPARE(pane.text(), QStringLiteral("ab ab ab"));
    QVERIFY(!pane.canUndo());

    pane.setSelection(0, 0);
    finder.handleRequest({FindFlag::Replace | FindFlag::Down, QStringLiteral("ab"), QStringLiteral("c")});
    finder.handleRequest({FindFlag::Replace | FindFlag::Down, QStringLiteral("ab"), QStringLiteral("c")});
    QCOMPARE(drawn(pane), QStringLiteral("c c [ab]"));
    pane.undo();
    QCOMPARE(pane.text(), QStringLiteral("c ab ab"));
    pane.undo();
    QCOMPARE(pane.text(), QStringLiteral("ab ab ab"));
}

void TestFindReplace::requestsCopyTheStateButFindNextKeepsTheReplacement()
{
    FindPrompts prompts;
    MemoryPane pane(QStringLiteral("x"));
    FindReplace finder(pane, prompts);
    QCOMPARE(finder.searchDown, true);
    QCOMPARE(finder.matchCase, false);
    finder.handleRequest({FindFlag::Replace | FindFlag::MatchCase, QStringLiteral("q"), QStringLiteral("r")});
    QCOMPARE(finder.findText, QStringLiteral("q"));
    QCOMPARE(finder.replaceText, QStringLiteral("r"));
    QCOMPARE(finder.searchDown, false);
    QCOMPARE(finder.matchCase, true);
    finder.handleRequest(
        {FindFlag::FindNext | FindFlag::Down, QStringLiteral("p"), QStringLiteral("ignored")});
    QCOMPARE(finder.findText, QStringLiteral("p"));
    QCOMPARE(finder.replaceText, QStringLiteral("r"));
    QCOMPARE(finder.searchDown, true);
    QCOMPARE(finder.matchCase, false);
}

void TestFindReplace::textsAreCutToTheFieldSize()
{
    QCOMPARE(FindReplace::limited(QString(200, u'a')), QString(127, u'a'));
    const QString pairAtTheEdge = QString(126, u'a') + QStringLiteral("𐐀b");
    QCOMPARE(FindReplace::limited(pairAtTheEdge), QString(126, u'a'));
    QCOMPARE(FindReplace::limited(QStringLiteral("短い")), QStringLiteral("短い"));
}

void TestFindReplace::repeatSearch()
{
    FindPrompts prompts;
    MemoryPane pane(QStringLiteral("ab AB ab"));
    FindReplace finder(pane, prompts);
    finder.matchCase = true;
    QVERIFY(!finder.repeatSearch(false));
    QCOMPARE(finder.searchDown, false);
    QCOMPARE(finder.matchCase, false);
    QVERIFY(!finder.repeatSearch(true));
    QCOMPARE(finder.searchDown, true);
    QCOMPARE(pane.selection(), (EditPane::Selection{0, 0}));

    finder.findText = QStringLiteral("ab");
    finder.searchDown = false;
    QVERIFY(finder.repeatSearch(true));
    QVERIFY(finder.repeatSearch(true));
    QCOMPARE(drawn(pane), QStringLiteral("ab [AB] ab"));
    QCOMPARE(finder.searchDown, false);
    finder.matchCase = true;
    QVERIFY(finder.repeatSearch(false));
    QCOMPARE(drawn(pane), QStringLiteral("[ab] AB ab"));
    QVERIFY(prompts.messages.isEmpty());
    QVERIFY(finder.repeatSearch(false));
    QCOMPARE(prompts.messages, QStringList{QStringLiteral("\"ab\"が見つかりません")});
    QCOMPARE(drawn(pane), QStringLiteral("[ab] AB ab"));
}

void TestFindReplace::closingAndUnknownRequests()
{
    FindPrompts prompts;
    MemoryPane pane(QStringLiteral("abc"));
    FindReplace finder(pane, prompts);
    QCOMPARE(finder.handleRequest({FindFlag::DialogTerm | FindFlag::FindNext, QStringLiteral("b"), {}}),
             FindReplace::Outcome::DialogClosed);
    QCOMPARE(finder.handleRequest({FindFlag::Down | FindFlag::MatchCase, QStringLiteral("b"), {}}),
             FindReplace::Outcome::Ignored);
    QCOMPARE(finder.handleRequest({FindFlag::FindNext, QString(), {}}), FindReplace::Outcome::Handled);
    QCOMPARE(finder.findText, QString());
    QCOMPARE(drawn(pane), QStringLiteral("|abc"));
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(finder.searchDown, false);
}

QTEST_GUILESS_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
