#include "core/base/Prompts.h"
#include "core/search/Search.h"
#include "support/DrawnPane.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QLocale>
#include <QTest>

// Rows draw the pane: "[" and "]" mark the selection, "|" a caret.
namespace {
using DrawnPane::drawn;
using DrawnPane::paneFrom;

class CountingPrompts final : public NullPrompts {
public:
    Answer messageBox(const QString& text, Buttons, Icon) override
    {
        messages << text;
        return Answer::Ok;
    }
    void beginWait() override
    {
        ++waits;
        ++depth;
    }
    void endWait() override { --depth; }

    QStringList messages;
    int waits = 0;
    int depth = 0;
};

// The replacement loop exactly as the pane would run it one replacement at a time.
void replaceAllStepByStep(MemoryPane& pane, CountingPrompts& prompts, const QString& text,
                          const QString& value)
{
    pane.setSelection(0, 0);
    while (SearchText(pane, prompts, text, true, true))
        pane.replaceSelection(value);
}
} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void search_data();
    void search();
    void caseFolding_data();
    void caseFolding();
    void turkishUserLocaleFoldsDotlessI();
    void replaceAllFromTop_data();
    void replaceAllFromTop();
    void replaceAllFromTopIsOneUndoStep();
    void replaceAllFromTopAtTheTextLimitMatchesStepByStep();
};

void TestSearch::search_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("downward");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("after"); // empty: not found and nothing moved

    QTest::newRow("|abc abc down") << "|abc abc"
                                   << "abc" << true << true << "[abc] abc";
    QTest::newRow("[abc] abc down moves on") << "[abc] abc"
                                             << "abc" << true << true << "abc [abc]";
    QTest::newRow("[xabc] down finds inside") << "[xabc]"
                                              << "abc" << true << true << "x[abc]";
    QTest::newRow("ab[c]c down, c not bc") << "ab[c]c"
                                           << "bc" << true << true << "";
    QTest::newRow("[aa]a down overlaps") << "[aa]a"
                                         << "aa" << true << true << "a[aa]";
    QTest::newRow("a[aa] up overlaps") << "a[aa]"
                                       << "aa" << false << true << "[aa]a";
    QTest::newRow("abc [abc] down no wrap") << "abc [abc]"
                                            << "abc" << true << true << "";
    QTest::newRow("x[abc] abc up no wrap") << "x[abc] abc"
                                           << "abc" << false << true << "";
    QTest::newRow("|abc up at start") << "|abc"
                                      << "abc" << false << true << "";
    QTest::newRow("[abc] up at start") << "[abc]"
                                       << "b" << false << true << "";
    QTest::newRow("abc| up pulled back to L-n") << "abc|"
                                                << "bc" << false << true << "a[bc]";
    QTest::newRow("ab[c] up pulled back to L-n") << "ab[c]"
                                                 << "abc" << false << true << "[abc]";
    QTest::newRow("a|b up, text longer than pane") << "a|b"
                                                   << "abc" << false << true << "";
    QTest::newRow("|ab down, text longer than pane") << "|ab"
                                                     << "abc" << true << true << "";
    QTest::newRow("ab[ab] up starts one before") << "ab[ab]"
                                                 << "ab" << false << true << "[ab]ab";
    QTest::newRow("|ABC nocase") << "|ABC"
                                 << "abc" << true << false << "[ABC]";
    QTest::newRow("|ABC case") << "|ABC"
                               << "abc" << true << true << "";
    QTest::newRow("[AB]ab nocase selection is a hit") << "[AB]ab"
                                                      << "ab" << true << false << "AB[ab]";
    QTest::newRow("[AB]ab case selection is no hit") << "[AB]ab"
                                                     << "ab" << true << true << "AB[ab]";
    QTest::newRow("|xÄy nocase ä") << "|xÄy"
                                   << "ä" << true << false << "x[Ä]y";
    QTest::newRow("|xÄy case ä") << "|xÄy"
                                 << "ä" << true << true << "";
    QTest::newRow("|ＡＢ nocase ａｂ") << "|ＡＢ"
                                       << "ａｂ" << true << false << "[ＡＢ]";
    QTest::newRow("ＡＢ| nocase ａｂ up") << "ＡＢ|"
                                          << "ａｂ" << false << false << "[ＡＢ]";
    QTest::newRow("|ΣΑΣ nocase final sigma") << "|ΣΑΣ"
                                             << "ςας" << true << false << "[ΣΑΣ]";
    QTest::newRow("|xK nocase Kelvin sign") << "|xK"
                                            << "k" << true << false << "x[K]";
    QTest::newRow("|xA nocase, too near the end") << "|xA"
                                                  << "ab" << true << false << "";
    QTest::newRow("|x𐐀 nocase deseret pair") << "|x𐐀"
                                             << "𐐨" << true << false << "x[𐐀]";
    QTest::newRow("|x𐐀 case deseret pair") << "|x𐐀"
                                           << "𐐨" << true << true << "";
    QTest::newRow("|aé nocase, no accent folding") << "|ae"
                                                   << "é" << true << false << "";
    QTest::newRow("[a\\r\\nb]a\\r\\nb across break") << "[a\r\nb]a\r\nb"
                                                     << "a\r\nb" << true << true << "a\r\nb[a\r\nb]";
    QTest::newRow("ab\\r\\n|ab up over break") << "ab\r\n|ab"
                                               << "ab" << false << true << "[ab]\r\nab";
    QTest::newRow("a[\\r\\nb] down selection starts with break") << "a[\r\nb]b"
                                                                 << "b" << true << true << "a\r\n[b]b";
    QTest::newRow("|a\\r\\nb down b\\r\\n") << "|ab\r\nb"
                                            << "b\r\n"
                                            << true << true << "a[b\r\n]b";
    // A hit never starts or ends between the CR and the LF of a line break.
    QTest::newRow("|a\\r\\nb down \\nb, none inside a break") << "|a\r\nb"
                                                              << "\nb" << true << true << "";
    QTest::newRow("a\\r\\nb| up \\nb, none inside a break") << "a\r\nb|"
                                                            << "\nb" << false << true << "";
    QTest::newRow("|ab\\r\\nb\\r down b\\r, the lone CR only") << "|ab\r\nb\r"
                                                               << "b\r" << true << true << "ab\r\n[b\r]";
    QTest::newRow("ab\\r\\nb\\r| up b\\r, the lone CR only") << "b\rab\r\nb|"
                                                             << "b\r" << false << true << "[b\r]ab\r\nb";
}

void TestSearch::search()
{
    QFETCH(QString, before);
    QFETCH(QString, text);
    QFETCH(bool, downward);
    QFETCH(bool, matchCase);
    QFETCH(QString, after);
    MemoryPane pane = paneFrom(before);
    const QString original = pane.text();
    CountingPrompts prompts;
    const bool found = SearchText(pane, prompts, text, downward, matchCase);
    QCOMPARE(found, !after.isEmpty());
    QCOMPARE(drawn(pane), found ? after : before);
    QCOMPARE(pane.text(), original);
    QCOMPARE(pane.scrollCount(), found ? 1 : 0);
    QCOMPARE(prompts.depth, 0);
    QVERIFY(prompts.messages.isEmpty());
}

void TestSearch::caseFolding_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("turkic");
    QTest::addColumn<bool>("equal");
    QTest::newRow("I i") << "I"
                         << "i" << false << true;
    QTest::newRow("I ı") << "I"
                         << "ı" << false << false;
    QTest::newRow("I i turkic") << "I"
                                << "i" << true << false;
    QTest::newRow("I ı turkic") << "I"
                                << "ı" << true << true;
    QTest::newRow("İ i turkic") << "İ"
                                << "i" << true << true;
    QTest::newRow("Ä ä") << "Ä"
                         << "ä" << false << true;
    QTest::newRow("Ａ ａ") << "Ａ"
                           << "ａ" << false << true;
    QTest::newRow("ア ｱ, width is not case") << "ア"
                                             << "ｱ" << false << false;
    QTest::newRow("lone surrogates equal")
        << QString(QChar(0xD801)) << QString(QChar(0xD801)) << false << true;
    QTest::newRow("lengths differ") << "ab"
                                    << "a" << false << false;
}

void TestSearch::caseFolding()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, turkic);
    QFETCH(bool, equal);
    QCOMPARE(textsMatch(a, b, false, turkic ? CaseFolding::Turkic : CaseFolding::Default), equal);
    QCOMPARE(textsMatch(a, b, true, CaseFolding::Default), a == b);
}

void TestSearch::turkishUserLocaleFoldsDotlessI()
{
    CountingPrompts prompts;
    MemoryPane pane(QStringLiteral("Iı"));
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    QCOMPARE(userCaseFolding(), CaseFolding::Turkic);
    QVERIFY(SearchText(pane, prompts, QStringLiteral("ıı"), true, false));
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QCOMPARE(userCaseFolding(), CaseFolding::Default);
    pane.setSelection(0, 0);
    QVERIFY(!SearchText(pane, prompts, QStringLiteral("ıı"), true, false));
    QVERIFY(SearchText(pane, prompts, QStringLiteral("I"), true, false));
}

void TestSearch::replaceAllFromTop_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("after");
    const auto row = [](const char* name, const char* before, const char* text, const char* value,
                        const char* after) {
        QTest::newRow(name) << QString::fromUtf8(before) << QString::fromUtf8(text)
                            << QString::fromUtf8(value) << QString::fromUtf8(after);
    };
    row("no placeholder: caret to start", "ab[c]", "%Y", "2026", "|abc");
    row("%Y-%M %Y", "%Y-%M %Y|", "%Y", "2026", "2026-%M 2026|");
    row("case-sensitive %y %Y", "|%y %Y x", "%Y", "2026", "%y 2026| x");
    row("a by aa ends", "|aaa", "a", "aa", "aaaaaa|");
    row("aaa, aa by b, no overlaps", "aaa|", "aa", "b", "b|a");
    row("value holds the text", "x%Y|", "%Y", "%Y%Y", "x%Y%Y|");
    row("value emptied", "a%Yb%Y|c", "%Y", "", "ab|c");
    row("value with a line break", "|a%Yb", "%Y", "1\n2", "a1\r\n2|b");
    row("text with a line break", "|a\r\nb\r\nb", "\r\nb", "-", "a--|");
}

void TestSearch::replaceAllFromTop()
{
    QFETCH(QString, before);
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(QString, after);
    MemoryPane pane = paneFrom(before);
    MemoryPane reference = paneFrom(before);
    CountingPrompts prompts;
    ReplaceAllFromTop(pane, prompts, text, value);
    QCOMPARE(drawn(pane), after);
    replaceAllStepByStep(reference, prompts, text, value);
    QCOMPARE(drawn(pane), drawn(reference));
    QCOMPARE(pane.changeCount(), before.contains(text) ? 1 : 0);
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(prompts.depth, 0);
}

void TestSearch::replaceAllFromTopIsOneUndoStep()
{
    MemoryPane pane(QStringLiteral("%D.%D.%D"));
    CountingPrompts prompts;
    ReplaceAllFromTop(pane, prompts, QStringLiteral("%D"), QStringLiteral("09"));
    QCOMPARE(pane.text(), QStringLiteral("09.09.09"));
    pane.undo();
    QCOMPARE(pane.text(), QStringLiteral("%D.%D.%D"));
    QVERIFY(!pane.canUndo());
}

void TestSearch::replaceAllFromTopAtTheTextLimitMatchesStepByStep()
{
    // Growing replacements near the limit are cut as the pane cuts each insertion.
    const QString text = QString(EditPane::TextLimit - 7, u'x') + QStringLiteral("%Y.%Y.%Y");
    MemoryPane pane(text);
    MemoryPane reference(text);
    CountingPrompts prompts;
    ReplaceAllFromTop(pane, prompts, QStringLiteral("%Y"), QStringLiteral("2026"));
    replaceAllStepByStep(reference, prompts, QStringLiteral("%Y"), QStringLiteral("2026"));
    QCOMPARE(pane.length(), EditPane::TextLimit);
    QCOMPARE(pane.text().right(12), reference.text().right(12));
    QCOMPARE(pane.text(), reference.text());
    QCOMPARE(pane.selection(), reference.selection());
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
