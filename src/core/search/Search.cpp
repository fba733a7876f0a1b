#include "core/search/Search.h"
#include "core/base/TextCut.h"

#include "core/base/EditPane.h"
#include "core/base/Prompts.h"

#include <QLocale>
#include <algorithm>
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

// The BMP units whose folding is `folded`. The last answer is kept: a repeated search asks
// for the same one. Everything runs on the user-interface thread.
const std::vector<char16_t>& unitsFoldingTo(char16_t folded, CaseFolding folding)
{
    static std::vector<char16_t> units;
    static int key = -1;
    const int wanted = int(folded) | (folding == CaseFolding::Turkic ? 0x10000 : 0);
    if (key != wanted) {
        const FoldTable& table = foldTable(folding);
        units.clear();
        for (char32_t c = 0; c < 0x10000; ++c)
            if (table[c] == folded)
                units.push_back(char16_t(c));
        key = wanted;
    }
    return units;
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

TextScanner::TextScanner(QStringView text, QStringView needle, bool matchCase, CaseFolding folding)
    : text(text), needle(needle), matchCase(matchCase), folding(folding)
{
    if (needle.isEmpty())
        return;
    if (matchCase) {
        firstUnits.push_back(needle.front().unicode());
    } else if (!QChar::isSurrogate(needle.front().unicode())) {
        // Every unit that folds to the first one is looked for with the vectorised scan;
        // with many of them a plain pass over the text is quicker.
        const auto& variants = unitsFoldingTo(foldTable(folding)[needle.front().unicode()], folding);
        if (variants.size() <= 4)
            firstUnits = variants;
    }
    nextAt.assign(firstUnits.size(), -1);
    scannedFrom.assign(firstUnits.size(), -1);
}

bool TextScanner::matchesAt(qsizetype q) const
{
    // A hit with an edge between CR and LF would split the line break when replaced.
    const auto insideBreak = [this](qsizetype p) {
        return p > 0 && p < text.size() && text[p - 1] == u'\r' && text[p] == u'\n';
    };
    if (insideBreak(q) || insideBreak(q + needle.size()))
        return false;
    if (matchCase)
        return text.sliced(q, needle.size()) == needle;
    return foldedEqual(text.utf16() + q, needle.utf16(), needle.size(), foldTable(folding),
                       optionsOf(folding));
}

qsizetype TextScanner::nextUnit(size_t k, qsizetype from)
{
    // A later search reuses what an earlier one found, so a run of searches reads the text once.
    if (scannedFrom[k] < 0 || scannedFrom[k] > from || (nextAt[k] >= 0 && nextAt[k] < from)) {
        nextAt[k] = text.indexOf(QChar(firstUnits[k]), from);
        scannedFrom[k] = from;
    }
    return nextAt[k];
}

qsizetype TextScanner::find(qsizetype from, bool downward)
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
    if (downward && !firstUnits.empty()) {
        for (qsizetype at = from;;) {
            qsizetype q = -1;
            for (size_t k = 0; k < firstUnits.size(); ++k) {
                const qsizetype next = nextUnit(k, at);
                if (next >= 0 && (q < 0 || next < q))
                    q = next;
            }
            if (q < 0 || q > length - n)
                return -1;
            if (matchesAt(q))
                return q;
            at = q + 1;
        }
    }
    const char16_t* h = text.utf16();
    const auto& table = foldTable(folding);
    const char16_t first = needle.front().unicode();
    // Rejected on the first unit wherever that unit is not half a surrogate pair.
    const bool quick = !QChar::isSurrogate(first);
    const char16_t firstFolded = matchCase ? first : table[first];
    const auto candidate = [&](qsizetype q) {
        if (quick && (matchCase ? h[q] : table[h[q]]) != firstFolded)
            return false;
        return matchesAt(q);
    };
    if (downward) {
        for (qsizetype q = from; q <= length - n; ++q)
            if (candidate(q))
                return q;
    } else {
        for (qsizetype q = from; q >= 0; --q)
            if (candidate(q))
                return q;
    }
    return -1;
}

qsizetype findInText(QStringView text, QStringView needle, qsizetype from, bool downward, bool matchCase,
                     CaseFolding folding)
{
    return TextScanner(text, needle, matchCase, folding).find(from, downward);
}

bool SelectNextHit(EditPane& pane, Prompts& prompts, const QString& text, qsizetype from, bool downward,
                   bool matchCase)
{
    WaitCursor wait(prompts);
    const qsizetype hit = findInText(pane.text(), text, from, downward, matchCase, userCaseFolding());
    if (hit < 0)
        return false;
    pane.setSelection(hit, hit + text.size());
    pane.scrollCaret();
    return true;
}

bool SearchText(EditPane& pane, Prompts& prompts, const QString& text, bool downward, bool matchCase)
{
    const EditPane::Selection sel = pane.selection();
    if (!downward && sel.start == 0)
        return false;
    qsizetype from = sel.start;
    if (!downward) {
        from = sel.start - 1;
    } else if (!sel.isEmpty()) {
        const QStringView selected = QStringView(pane.text()).sliced(sel.start, sel.end - sel.start);
        if (textsMatch(selected, text, matchCase, userCaseFolding()))
            from = sel.start + 1;
    }
    return SelectNextHit(pane, prompts, text, from, downward, matchCase);
}

void ReplaceHits(EditPane& pane, const std::vector<qsizetype>& hits, qsizetype n, const QString& replacement)
{
    if (hits.empty())
        return;
    const QString& whole = pane.text();
    const QString value = withPaneLineBreaks(replacement);

    // What the pane would have inserted at each hit, taken in replacement order.
    std::vector<qsizetype> insertedSize(hits.size());
    qsizetype length = whole.size();
    for (size_t i = 0; i < hits.size(); ++i) {
        insertedSize[i] = fitToRoom(value, EditPane::TextLimit - (length - n)).size();
        length += insertedSize[i] - n;
    }

    std::vector<size_t> order(hits.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return hits[a] < hits[b]; });

    qsizetype spanStart = hits[order.front()];
    qsizetype spanEnd = hits[order.back()] + n;
    // A span edge between CR and LF would be moved by the pane and split the line break.
    if (spanStart > 0 && whole[spanStart - 1] == u'\r' && whole[spanStart] == u'\n')
        --spanStart;
    if (spanEnd > 0 && spanEnd < whole.size() && whole[spanEnd - 1] == u'\r' && whole[spanEnd] == u'\n')
        ++spanEnd;

    QString built;
    built.reserve(spanEnd - spanStart + (length - whole.size()));
    qsizetype at = spanStart;
    qsizetype caret = spanStart;
    for (const size_t i : order) {
        built += QStringView(whole).sliced(at, hits[i] - at);
        built += QStringView(value).first(insertedSize[i]);
        at = hits[i] + n;
        if (i == hits.size() - 1)
            caret = spanStart + built.size();
    }
    built += QStringView(whole).sliced(at, spanEnd - at);

    pane.beginUndoGroup();
    pane.setSelection(spanStart, spanEnd);
    pane.replaceSelection(built);
    pane.endUndoGroup();
    pane.setSelection(caret, caret);
    pane.scrollCaret();
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
    TextScanner scanner(whole, text, true, CaseFolding::Default);
    for (qsizetype q = scanner.find(0, true); q >= 0; q = scanner.find(q + n, true))
        hits.push_back(q);
    ReplaceHits(pane, hits, n, replacement);
}
