#include "core/base/Prompts.h"
#include "core/document/TextCodec.h"
#include "core/format/FormatTable.h"
#include "core/view/TextCounts.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using Counts = QList<qsizetype>; // characters, visible, bytes

namespace {
Counts asList(const TextCounts& c)
{
    return {c.characters, c.visible, c.bytes};
}

// The format tables the rows count with.
FormatTable tableFor(const QString& setup)
{
    FormatTable t;
    if (setup == u"quote off")
        t.user[7].begin = t.user[7].end = QString(); // "{{{" / "}}}"
    else if (setup == u"note on")
        t.base[6] = {QStringLiteral("※"), QString()};
    else if (setup == u"backslashes only")
        t.base[13] = {QStringLiteral("\\\\"), QString()};
    return t;
}
} // namespace

class TestTextCounts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void counts_data();
    void counts();
    void selection_data();
    void selection();
    void bytesAreWhatASaveWrites_data();
    void bytesAreWhatASaveWrites();
    void label();
    void lineTableCountsAcrossLines_data();
    void lineTableCountsAcrossLines();
    void lineTableMatchesAWholeCountOverEdits_data();
    void lineTableMatchesAWholeCountOverEdits();
};

void TestTextCounts::counts_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Counts>("expected");

    QTest::newRow("empty") << ""
                           << "" << Counts{0, 0, 0};
    QTest::newRow("ascii") << ""
                           << "abc" << Counts{3, 3, 3};
    QTest::newRow("kanji and kana: two bytes each") << ""
                                                    << "日本語のブログ" << Counts{7, 7, 14};
    QTest::newRow("half-width katakana: one byte") << ""
                                                   << "ｱｲｳ" << Counts{3, 3, 3};
    QTest::newRow("CR LF: no character, two bytes") << ""
                                                    << "ab\r\ncd\r\n"
                                                    << Counts{4, 4, 8};
    QTest::newRow("lone CR: dropped by a save") << ""
                                                << "a\rb" << Counts{2, 2, 2};
    QTest::newRow("bare LF: saved as CR LF") << ""
                                             << "a\nb" << Counts{2, 2, 4};
    QTest::newRow("surrogate pair: one character, one ?") << "" << u"a\U0001F600b"_qs << Counts{3, 3, 3};
    QTest::newRow("lone surrogate") << "" << QString(QChar(0xD800)) << Counts{1, 1, 1};
    QTest::newRow("hangul: not in the code page") << ""
                                                  << "한글" << Counts{2, 2, 2};
    QTest::newRow("bold tags") << ""
                               << "<B>太字</B>" << Counts{9, 2, 11};
    QTest::newRow("colour") << ""
                            << R"(<FONT COLOR="red">赤</FONT>)" << Counts{26, 1, 27};
    QTest::newRow("link shows its label") << ""
                                          << R"(<a href="http://x.jp/">こちら</a>)" << Counts{30, 3, 33};
    QTest::newRow("image shows nothing") << ""
                                         << R"(<img src="a.png">)" << Counts{17, 0, 17};
    QTest::newRow("tag across a line break") << ""
                                             << "<FONT\r\nSIZE=\"4\">x</FONT>" << Counts{22, 1, 24};
    QTest::newRow("lower-case and closing tags") << ""
                                                 << "<p>a</p><br/>" << Counts{13, 1, 13};
    QTest::newRow("comment") << ""
                             << "<!-- memo -->x" << Counts{14, 1, 14};
    QTest::newRow("< before a blank is text") << ""
                                              << "a < b" << Counts{5, 5, 5};
    QTest::newRow("< before a digit is text") << ""
                                              << "1<2>3" << Counts{5, 5, 5};
    QTest::newRow("unclosed tag is text") << ""
                                          << "<B never" << Counts{8, 8, 8};
    QTest::newRow("a second < ends no tag") << ""
                                            << "<a <b>x" << Counts{7, 4, 7};
    QTest::newRow("character references") << ""
                                          << "&amp;&#12354;&nbsp;" << Counts{19, 3, 19};
    QTest::newRow("& without a name is text") << ""
                                              << "A&B; &;" << Counts{7, 5, 7};
    QTest::newRow("user bold") << ""
                               << "'''強調'''" << Counts{8, 2, 10};
    QTest::newRow("bold italic wins over bold") << ""
                                                << "'''''x'''''" << Counts{11, 1, 11};
    QTest::newRow("apostrophe alone is text") << ""
                                              << "It's" << Counts{4, 4, 4};
    QTest::newRow("heading with its blanks") << ""
                                             << "= 見出し =" << Counts{7, 3, 10};
    QTest::newRow("wiki link") << ""
                               << "[http://example.jp]" << Counts{19, 10, 19};
    QTest::newRow("wiki image") << ""
                                << "[[img(http://a/b.png)]]" << Counts{23, 7, 23};
    QTest::newRow("quote block") << ""
                                 << "{{{引用}}}" << Counts{8, 2, 10};
    QTest::newRow("inactive format stays text") << "quote off"
                                                << "{{{引用}}}" << Counts{8, 8, 10};
    QTest::newRow("activated format is left out") << "note on"
                                                  << "※注意" << Counts{3, 2, 6};
    QTest::newRow("inactive by default: ※ stays") << ""
                                                  << "※注意" << Counts{3, 3, 6};
    QTest::newRow("format of backslashes only inserts nothing") << "backslashes only"
                                                                << "\\x" << Counts{2, 2, 2};
}

void TestTextCounts::counts()
{
    QFETCH(QString, setup);
    QFETCH(QString, text);
    QFETCH(Counts, expected);
    QCOMPARE(asList(countText(text, formatMarkers(tableFor(setup)))), expected);
}

void TestTextCounts::selection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("end");
    QTest::addColumn<Counts>("whole");
    QTest::addColumn<Counts>("selected"); // empty: no selection counts

    QTest::newRow("caret only") << "abc" << qsizetype(1) << qsizetype(1) << Counts{3, 3, 3} << Counts{};
    QTest::newRow("part of a line") << "abc日本" << qsizetype(1) << qsizetype(4) << Counts{5, 5, 7}
                                    << Counts{3, 3, 4};
    QTest::newRow("over a line break")
        << "ab\r\ncd" << qsizetype(1) << qsizetype(5) << Counts{4, 4, 6} << Counts{2, 2, 4};
    QTest::newRow("whole tagged text")
        << "<B>x</B>" << qsizetype(0) << qsizetype(8) << Counts{8, 1, 8} << Counts{8, 1, 8};
    QTest::newRow("half a tag is text")
        << "<B>x</B>" << qsizetype(0) << qsizetype(2) << Counts{8, 1, 8} << Counts{2, 2, 2};
    QTest::newRow("surrogate pair selected")
        << u"a\U0001F600"_qs << qsizetype(1) << qsizetype(3) << Counts{2, 2, 2} << Counts{1, 1, 1};
}

void TestTextCounts::selection()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, end);
    QFETCH(Counts, whole);
    QFETCH(Counts, selected);
    MemoryPane pane(text);
    pane.setSelection(start, end);
    const PaneCounts c = countPane(pane, formatMarkers(FormatTable()));
    QCOMPARE(asList(c.whole), whole);
    QCOMPARE(c.selection.has_value(), !selected.isEmpty());
    if (c.selection)
        QCOMPARE(asList(*c.selection), selected);
}

void TestTextCounts::bytesAreWhatASaveWrites_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("mixed script with line breaks") << u"日本語 abc ｶﾅ\r\n二行目\r\n"_qs;
    QTest::newRow("lone CR and bare LF") << "a\rb\nc\r";
    QTest::newRow("outside the code page") << u"\U0001F600한€①"_qs;
    QTest::newRow("Windows extensions") << u"①Ⅻ㈱～∥"_qs;
}

void TestTextCounts::bytesAreWhatASaveWrites()
{
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("entry.txt"));
    MemoryPane pane(text);
    NullPrompts prompts;
    TextCodec codec;
    int modified = 1;
    QCOMPARE(codec.SaveTextFile(pane, prompts, path, modified), TextCodec::SaveResult::Saved);
    QCOMPARE(savedByteCount(text), QFileInfo(path).size());
}

void TestTextCounts::label()
{
    const TextCounts whole{1234, 1100, 12345};
    QCOMPARE(countsLabel(whole, std::nullopt), u"1,234 文字（本文 1,100）  12,345 / 32,768 バイト"_qs);
    QCOMPARE(countsLabel(whole, TextCounts{12, 10, 24}),
             u"選択 12 文字（本文 10） 24 バイト ／ 1,234 文字（本文 1,100）  12,345 / 32,768 バイト"_qs);
}

namespace {
// Counts `lines`, joined by CR LF, through `table`.
TextCounts countLines(LineCountTable& table, const QStringList& lines)
{
    return table.counts([&lines](qsizetype n) { return lines[n]; },
                        [&lines] { return lines.join(QStringLiteral("\r\n")); });
}
} // namespace

void TestTextCounts::lineTableCountsAcrossLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("plain lines") << QStringList{u"日本"_qs, u""_qs, u"abc"_qs};
    QTest::newRow("tag across a line break") << QStringList{u"a<a"_qs, u"href=\"x\">b</a>"_qs};
    QTest::newRow("tag across three lines") << QStringList{u"<img"_qs, u"src=x"_qs, u"alt=y>z"_qs};
    QTest::newRow("open < refused by a later <") << QStringList{u"x<y"_qs, u"z<b>w</b>"_qs};
    QTest::newRow("open < never closed") << QStringList{u"x<y"_qs, u"z"_qs};
    QTest::newRow("tag ends where another opens") << QStringList{u"<b"_qs, u">'''x<i"_qs, u">y"_qs};
    QTest::newRow("lone CR before a line break") << QStringList{u"<b\r"_qs, u">x\r"_qs, u""_qs};
}

void TestTextCounts::lineTableCountsAcrossLines()
{
    QFETCH(QStringList, lines);
    const QStringList markers = formatMarkers(FormatTable());
    LineCountTable table(markers);
    table.replaceLines(0, 1, lines.size());
    QCOMPARE(countLines(table, lines), countText(lines.join(u"\r\n"_qs), markers));
}

void TestTextCounts::lineTableMatchesAWholeCountOverEdits_data()
{
    QTest::addColumn<QStringList>("markers");
    QTest::addColumn<quint32>("seed");
    const QStringList defaults = formatMarkers(FormatTable());
    for (quint32 seed = 1; seed <= 6; ++seed)
        QTest::addRow("default formats, seed %u", seed) << defaults << seed;
    QTest::addRow("a marker with a line break") << QStringList{u"''\r\n"_qs, u"'''"_qs} << 7u;
}

// Random edits of random lines, counted now and then: the table's sums always equal a
// count of the whole text.
void TestTextCounts::lineTableMatchesAWholeCountOverEdits()
{
    QFETCH(QStringList, markers);
    QFETCH(quint32, seed);
    const QStringList pieces{u"a"_qs,    u"あ"_qs,      u"\U0001F600"_qs, u"<"_qs,    u">"_qs,   u"<b>"_qs,
                             u"</a>"_qs, u"<a href"_qs, u"&amp;"_qs,      u"&"_qs,    u";"_qs,   u"'''"_qs,
                             u"''"_qs,   u"\r"_qs,      u" "_qs,          u"<!--"_qs, u"-->"_qs, u"※"_qs};
    QRandomGenerator random(seed);
    const auto randomLine = [&] {
        QString line;
        for (int n = int(random.bounded(6)); n > 0; --n)
            line += pieces[random.bounded(int(pieces.size()))];
        return line;
    };

    QStringList lines{QString()};
    LineCountTable table(markers);
    for (int edit = 0; edit < 400; ++edit) {
        const qsizetype first = random.bounded(int(lines.size()));
        const qsizetype removed = random.bounded(int(std::min<qsizetype>(3, lines.size() - first) + 1));
        qsizetype added = random.bounded(4);
        if (lines.size() - removed + added == 0)
            added = 1;
        lines.remove(first, removed);
        for (qsizetype n = 0; n < added; ++n)
            lines.insert(first + n, randomLine());
        table.replaceLines(first, removed, added);
        if (random.bounded(3) == 0) {
            QCOMPARE(table.lineCount(), lines.size());
            const QString whole = lines.join(u"\r\n"_qs);
            QVERIFY2(countLines(table, lines) == countText(whole, markers), qPrintable(whole));
        }
    }
}

QTEST_GUILESS_MAIN(TestTextCounts)
#include "tst_textcounts.moc"
