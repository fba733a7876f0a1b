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
// "<" before a blank or a digit, or one never closed, is text.
qsizetype tagLength(QStringView t, qsizetype i)
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

TextCounts countText(QStringView t, const QStringList& markers, TextEncoding encoding)
{
    // Only markers whose first character stands at a position are tried there.
    QString firsts;
    for (const QString& m : markers)
        if (!firsts.contains(m[0]))
            firsts += m[0];

    TextCounts c;
    for (qsizetype i = 0; i < t.size();) {
        if (isLineEnd(t[i].unicode())) {
            ++i;
            continue;
        }
        if (const qsizetype tag = tagLength(t, i)) {
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
    c.bytes = savedByteCount(t, encoding);
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
