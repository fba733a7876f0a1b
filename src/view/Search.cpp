#include "view/Search.h"

#include "framework/Prompts.h"
#include "view/EditPane.h"

#include <QLocale>
#include <array>
#include <memory>
#include <unicode/uchar.h>
#include <vector>

namespace {

// Simple case folding of every BMP unit, built once per folding. Surrogates map to
// themselves; pairs are folded as code points where both halves lie in the compared range.
using FoldTable = std::array<char16_t, 0x10000>;

const FoldTable& foldTable(CaseFolding folding)
{
    static const auto build = [](uint32_t options) {
        auto table = std::make_unique<FoldTable>();
        for (UChar32 c = 0; c < 0x10000; ++c) {
            const UChar32 f = (c >= 0xD800 && c <= 0xDFFF) ? c : u_foldCase(c, options);
            (*table)[c] = f < 0x10000 ? char16_t(f) : char16_t(c);
        }
        return table;
    };
    static const std::unique_ptr<FoldTable> plain = build(U_FOLD_CASE_DEFAULT);
    static const std::unique_ptr<FoldTable> turkic = build(U_FOLD_CASE_EXCLUDE_SPECIAL_I);
    return folding == CaseFolding::Turkic ? *turkic : *plain;
}

// Compares a[0, n) and b[0, n) under folding; both have at least n units.
bool foldedEqual(const char16_t* a, const char16_t* b, qsizetype n, const FoldTable& table, uint32_t options)
{
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i];
        const char16_t y = b[i];
        if (x == y && !QChar::isSurrogate(x))
            continue;
        if (QChar::isHighSurrogate(x) && QChar::isHighSurrogate(y) && i + 1 < n &&
            QChar::isLowSurrogate(a[i + 1]) && QChar::isLowSurrogate(b[i + 1])) {
            if (u_foldCase(QChar::surrogateToUcs4(x, a[i + 1]), options) !=
                u_foldCase(QChar::surrogateToUcs4(y, b[i + 1]), options))
                return false;
            ++i;
            continue;
        }
        if (x == y)
            continue;
        if (table[x] != table[y])
            return false;
    }
    return true;
}

uint32_t optionsOf(CaseFolding folding)
{
    return folding == CaseFolding::Turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT;
}

} // namespace

CaseFolding caseFoldingFor(const QLocale& locale)
{
    const QLocale::Language language = locale.language();
    return language == QLocale::Turkish || language == QLocale::Azerbaijani ? CaseFolding::Turkic
                                                                            : CaseFolding::Default;
}

CaseFolding userCaseFolding()
{
    return caseFoldingFor(QLocale());
}

bool textsMatch(QStringView a, QStringView b, bool matchCase, CaseFolding folding)
{
    if (a.size() != b.size())
        return false;
    if (matchCase)
        return a == b;
    return foldedEqual(a.utf16(), b.utf16(), a.size(), foldTable(folding), optionsOf(folding));
}

qsizetype findInText(QStringView text, QStringView needle, qsizetype from, bool downward, bool matchCase,
                     CaseFolding folding)
{
    const qsizetype length = text.size();
    const qsizetype n = needle.size();
    if (n == 0 || n > length || from < 0)
        return -1;
    if (from > length - n) {
        if (downward)
            return -1;
        from = length - n;
    }
    if (matchCase) {
        // Qt's scanners compare exactly, unit by unit, which is the case-sensitive rule.
        if (downward)
            return text.indexOf(needle, from, Qt::CaseSensitive);
        return text.first(from + n).lastIndexOf(needle, from, Qt::CaseSensitive);
    }

    const FoldTable& table = foldTable(folding);
    const uint32_t options = optionsOf(folding);
    const char16_t* h = text.utf16();
    const char16_t* s = needle.utf16();
    // A surrogate start must go through the full comparison; anything else can be
    // rejected on its first folded unit.
    const bool quickFirst = !QChar::isSurrogate(s[0]);
    const char16_t first = table[s[0]];
    const auto matchesAt = [&](qsizetype q) {
        if (quickFirst && table[h[q]] != first)
            return false;
        return foldedEqual(h + q, s, n, table, options);
    };
    if (downward) {
        for (qsizetype q = from, last = length - n; q <= last; ++q)
            if (matchesAt(q))
                return q;
    } else {
        for (qsizetype q = from; q >= 0; --q)
            if (matchesAt(q))
                return q;
    }
    return -1;
}

bool SearchText(EditPane& pane, Prompts& prompts, const QString& text, bool downward, bool matchCase)
{
    const EditPane::Selection sel = pane.selection();
    if (!downward && sel.start == 0)
        return false;
    WaitCursor wait(prompts);
    const QStringView whole = pane.text();
    const CaseFolding folding = userCaseFolding();
    qsizetype from = sel.start;
    if (!downward)
        from = sel.start - 1;
    else if (!sel.isEmpty() && sel.end <= whole.size() &&
             textsMatch(whole.sliced(sel.start, sel.end - sel.start), text, matchCase, folding))
        from = sel.start + 1;
    const qsizetype hit = findInText(whole, text, from, downward, matchCase, folding);
    if (hit < 0)
        return false;
    pane.setSelection(hit, hit + text.size());
    pane.scrollCaret();
    return true;
}

void ReplaceAllFromTop(EditPane& pane, Prompts& prompts, const QString& text, const QString& replacement)
{
    pane.setSelection(0, 0);
    pane.scrollCaret();
    if (text.isEmpty())
        return;
    WaitCursor wait(prompts);
    const QStringView whole = pane.text();
    const qsizetype n = text.size();
    std::vector<qsizetype> hits;
    for (qsizetype q = findInText(whole, text, 0, true, true, CaseFolding::Default); q >= 0;
         q = findInText(whole, text, q + n, true, true, CaseFolding::Default))
        hits.push_back(q);
    if (hits.empty())
        return;

    // Built as the pane would have taken the replacements one by one: each insertion is
    // cut to the room left under the text limit.
    const QString value = withPaneLineBreaks(replacement);
    qsizetype spanStart = hits.front();
    qsizetype spanEnd = hits.back() + n;
    // A span edge between CR and LF would be moved by the pane and split the line break.
    if (spanStart > 0 && whole[spanStart - 1] == u'\r' && whole[spanStart] == u'\n')
        --spanStart;
    if (spanEnd < whole.size() && spanEnd > 0 && whole[spanEnd - 1] == u'\r' && whole[spanEnd] == u'\n')
        ++spanEnd;
    QString built;
    built.reserve(spanEnd - spanStart + qsizetype(hits.size()) * std::max<qsizetype>(0, value.size() - n));
    qsizetype length = whole.size();
    qsizetype at = spanStart;
    qsizetype caret = 0;
    for (const qsizetype q : hits) {
        built += whole.sliced(at, q - at);
        const QStringView inserted = fitToRoom(value, EditPane::TextLimit - (length - n));
        built += inserted;
        length += inserted.size() - n;
        at = q + n;
        caret = spanStart + built.size();
    }
    built += whole.sliced(at, spanEnd - at);

    pane.beginUndoGroup();
    pane.setSelection(spanStart, spanEnd);
    pane.replaceSelection(built);
    pane.endUndoGroup();
    pane.setSelection(caret, caret);
    pane.scrollCaret();
}
