#include "core/view/TextCounts.h"

#include "core/base/EditPane.h"
#include "core/format/FormatTable.h"
#include "core/res/Strings.h"

#include <QLocale>
#include <algorithm>

namespace {
constexpr qsizetype SaveLimit = 32768;

bool isLineEnd(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Length of the tag starting at `i` ("<b>", "</a>", "<!-- -->"), 0 when there is none: a
// "<" before a blank or a digit, or one never closed, is text. `open` is set when the text
// ends before the tag could be closed or refused.
qsizetype tagLength(QStringView t, qsizetype i, bool& open)
{
    if (t[i] != u'<' || i + 1 >= t.size())
        return 0;
    const char16_t next = t[i + 1].unicode();
    if (!isAsciiLetter(next) && next != u'/' && next != u'!')
        return 0;
    for (qsizetype j = i + 1; j < t.size(); ++j) {
        if (t[j] == u'>')
            return j - i + 1;
        if (t[j] == u'<')
            return 0;
    }
    open = true;
    return 0;
}

// Length of the character reference at `i` ("&amp;", "&#12354;"), 0 when there is none.
qsizetype referenceLength(QStringView t, qsizetype i)
{
    constexpr qsizetype Longest = 32;
    if (t[i] != u'&')
        return 0;
    qsizetype j = i + 1;
    if (j < t.size() && t[j] == u'#')
        ++j;
    const qsizetype nameStart = j;
    while (j < t.size() && j - i < Longest &&
           (isAsciiLetter(t[j].unicode()) || (t[j] >= u'0' && t[j] <= u'9')))
        ++j;
    if (j == nameStart || j >= t.size() || t[j] != u';')
        return 0;
    return j - i + 1;
}

qsizetype markerLength(QStringView t, qsizetype i, const QStringList& markers)
{
    for (const QString& m : markers)
        if (t.sliced(i).startsWith(m))
            return m.size();
    return 0;
}

qsizetype codePointLength(QStringView t, qsizetype i)
{
    return t[i].isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate() ? 2 : 1;
}

QString grouped(qsizetype n)
{
    static const QLocale locale(QLocale::English);
    return locale.toString(qlonglong(n));
}
} // namespace

QStringList formatMarkers(const FormatTable& table)
{
    QStringList markers;
    const auto add = [&markers](const QString& stored) {
        const QString m = insertedForm(stored);
        if (!m.isEmpty() && !markers.contains(m))
            markers.append(m);
    };
    for (int n = 1; n <= FormatTable::BaseCount; ++n)
        if (table.isBaseActive(n)) {
            add(table.baseFormat(n).begin);
            add(table.baseFormat(n).end);
        }
    for (int n = 1; n <= FormatTable::UserCount; ++n)
        if (table.isUserActive(n)) {
            add(table.userFormat(n).begin);
            add(table.userFormat(n).end);
        }
    // "'''''" has to win over "'''" and "''".
    std::stable_sort(markers.begin(), markers.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return markers;
}

namespace {
struct Scan {
    qsizetype characters = 0;
    qsizetype visible = 0;
    qsizetype end = 0;    // where the count stopped
    bool openTag = false; // a tag may go on past the end of `t`
};

bool isLineBreakAt(QStringView t, qsizetype i)
{
    return t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n';
}

// Counts `t` from `from`, token by token; with `toLineBreak`, stops at the first line break
// that falls between two tokens.
Scan scan(QStringView t, qsizetype from, const QStringList& markers, bool toLineBreak = false)
{
    // Only markers whose first character stands at a position are tried there.
    QString firsts;
    for (const QString& m : markers)
        if (!firsts.contains(m[0]))
            firsts += m[0];

    Scan c;
    qsizetype i = from;
    while (i < t.size()) {
        if (isLineEnd(t[i].unicode())) {
            if (toLineBreak && isLineBreakAt(t, i))
                break;
            ++i;
            continue;
        }
        if (const qsizetype tag = tagLength(t, i, c.openTag)) {
            for (qsizetype j = i; j < i + tag; j += codePointLength(t, j))
                if (!isLineEnd(t[j].unicode()))
                    ++c.characters;
            i += tag;
            continue;
        }
        if (const qsizetype marker = firsts.contains(t[i]) ? markerLength(t, i, markers) : 0) {
            for (qsizetype j = i; j < i + marker; j += codePointLength(t, j))
                if (!isLineEnd(t[j].unicode()))
                    ++c.characters;
            i += marker;
            continue;
        }
        if (const qsizetype ref = referenceLength(t, i)) {
            c.characters += ref;
            ++c.visible;
            i += ref;
            continue;
        }
        ++c.characters;
        ++c.visible;
        i += codePointLength(t, i);
    }
    c.end = i;
    return c;
}
} // namespace

TextCounts countText(QStringView t, const QStringList& markers, TextEncoding encoding)
{
    const Scan s = scan(t, 0, markers);
    return {s.characters, s.visible, savedByteCount(t, encoding)};
}

LineCountTable::LineCountTable(const QStringList& markers, TextEncoding e) : markerList(markers), encoding(e)
{
    for (const QString& m : markers)
        if (m.contains(u'\r') || m.contains(u'\n'))
            markersCrossLines = true;
}

void LineCountTable::add(const Line& line, int sign)
{
    if (!line.counted)
        return;
    characters += sign * line.characters;
    visible += sign * line.visible;
    bytes += sign * line.bytes;
    openLines += sign * qsizetype(line.openTag);
}

void LineCountTable::replaceLines(qsizetype first, qsizetype removed, qsizetype added)
{
    Q_ASSERT(first >= 0 && removed >= 0 && first + removed <= lineCount());
    for (qsizetype n = first; n < first + removed; ++n)
        add(lines[size_t(n)], -1);
    const auto at = lines.begin() + first;
    const qsizetype kept = std::min(removed, added);
    std::fill(at, at + kept, Line{});
    if (added > removed)
        lines.insert(at + kept, size_t(added - removed), Line{});
    else
        lines.erase(at + kept, at + removed);
    const qsizetype shift = added - removed;
    if (dirtyFrom >= dirtyTo) {
        dirtyFrom = first;
        dirtyTo = first + added;
    } else {
        if (dirtyTo > first + removed)
            dirtyTo += shift;
        else if (dirtyTo > first)
            dirtyTo = first;
        if (dirtyFrom > first + removed)
            dirtyFrom += shift;
        else if (dirtyFrom > first)
            dirtyFrom = first;
        dirtyFrom = std::min(dirtyFrom, first);
        dirtyTo = std::max(dirtyTo, first + added);
    }
}

TextCounts LineCountTable::counts(const std::function<QString(qsizetype)>& lineText,
                                  const std::function<QString()>& wholeText)
{
    for (qsizetype n = dirtyFrom; n < std::min(dirtyTo, lineCount()); ++n) {
        Line& line = lines[size_t(n)];
        if (line.counted)
            continue;
        const QString text = lineText(n);
        const Scan s = scan(text, 0, markerList);
        line = {s.characters, s.visible, savedByteCount(text, encoding), text.size(), s.openTag, true};
        add(line, +1);
    }
    dirtyFrom = dirtyTo = 0;

    // Every line break is CR LF: no character, two bytes.
    const qsizetype allBytes = bytes + 2 * (lineCount() - 1);
    if (markersCrossLines)
        return countText(wholeText(), markerList, encoding);
    if (openLines == 0)
        return {characters, visible, allBytes};

    // A tag left open at a line's end may close lines later: from that line on, count in
    // context up to the first line break between two tokens.
    const QString whole = wholeText();
    TextCounts c{characters, visible, allBytes};
    qsizetype offset = 0; // of line n in `whole`
    for (qsizetype n = 0; n < lineCount(); ++n) {
        const Line& line = lines[size_t(n)];
        if (!line.openTag) {
            offset += line.length + 2;
            continue;
        }
        const Scan s = scan(whole, offset, markerList, true);
        c.characters += s.characters;
        c.visible += s.visible;
        // The lines the context count covered, this one included, leave the sums.
        for (;;) {
            const Line& covered = lines[size_t(n)];
            c.characters -= covered.characters;
            c.visible -= covered.visible;
            offset += covered.length + 2;
            if (offset - 2 >= s.end || n + 1 == lineCount())
                break;
            ++n;
        }
    }
    return c;
}

PaneCounts countPane(const EditPane& pane, const QStringList& markers, TextEncoding encoding)
{
    PaneCounts counts;
    const QString& text = pane.text();
    counts.whole = countText(text, markers, encoding);
    const EditPane::Selection s = pane.selection();
    if (!s.isEmpty())
        counts.selection = countText(QStringView(text).sliced(s.start, s.end - s.start), markers, encoding);
    return counts;
}

QString countsLabel(const TextCounts& whole, const std::optional<TextCounts>& selection)
{
    QString label =
        resString(Str::CountsWhole)
            .arg(grouped(whole.characters), grouped(whole.visible), grouped(whole.bytes), grouped(SaveLimit));
    if (selection)
        label = resString(Str::CountsSelection)
                    .arg(grouped(selection->characters), grouped(selection->visible),
                         grouped(selection->bytes), label);
    return label;
}
