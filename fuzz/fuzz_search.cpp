// The search routine against a naive scan: random short texts from an alphabet of case
// pairs (Turkic i, sharp s, final sigma, Kelvin sign, a supplementary pair and lone
// surrogate halves, CRs and line breaks), needles, start positions, directions and case
// flags give the same hit or the same miss, both in the text and through the pane's
// selection. No hit has an edge between the CR and the LF of a line break.
#include "core/base/Prompts.h"
#include "core/search/Search.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QDateTime>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <unicode/uchar.h>
#include <vector>

namespace {
class NoPrompts final : public NullPrompts {
public:
    Answer messageBox(const QString&, Buttons, Icon) override { std::abort(); }
};

QString pick(FuzzedDataProvider& in, size_t maxLength)
{
    static const char16_t alphabet[] = {u'a',   u'A',   u'k',   u'K',   0x212A, u'i',  u'I',
                                        0x0130, 0x0131, u'ß',   0x1E9E, u'σ',   u'ς',  u'Σ',
                                        0xD801, 0xDC00, 0xDC28, u'あ',  u'\r',  u'\n', u' '};
    QString s;
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, maxLength);
    for (size_t i = 0; i < n; ++i)
        s += QChar(alphabet[in.ConsumeIntegralInRange<size_t>(0, std::size(alphabet) - 1)]);
    return s;
}

std::vector<char32_t> codePoints(QStringView s)
{
    std::vector<char32_t> out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            out.push_back(QChar::surrogateToUcs4(s[i], s[i + 1]));
            ++i;
        } else {
            out.push_back(s[i].unicode());
        }
    }
    return out;
}

bool sameText(QStringView a, QStringView b, bool matchCase, CaseFolding folding)
{
    if (matchCase)
        return a == b;
    const uint32_t options =
        folding == CaseFolding::Turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT;
    const std::vector<char32_t> x = codePoints(a), y = codePoints(b);
    if (x.size() != y.size())
        return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (u_foldCase(UChar32(x[i]), options) != u_foldCase(UChar32(y[i]), options))
            return false;
    return true;
}

qsizetype naiveFind(QStringView text, QStringView needle, qsizetype from, bool downward, bool matchCase,
                    CaseFolding folding)
{
    const qsizetype n = needle.size(), last = text.size() - needle.size();
    if (n == 0 || last < 0 || from < 0)
        return -1;
    const auto inBreak = [&](qsizetype p) {
        return p > 0 && p < text.size() && text[p - 1] == u'\r' && text[p] == u'\n';
    };
    const auto hitAt = [&](qsizetype q) {
        return !inBreak(q) && !inBreak(q + n) && sameText(text.sliced(q, n), needle, matchCase, folding);
    };
    if (downward) {
        for (qsizetype q = from; q <= last; ++q)
            if (hitAt(q))
                return q;
    } else {
        for (qsizetype q = std::min(from, last); q >= 0; --q)
            if (hitAt(q))
                return q;
    }
    return -1;
}

std::string dump(QStringView s)
{
    std::string out;
    for (QChar c : s)
        out += "<" + std::to_string(c.unicode()) + ">";
    return out;
}

[[noreturn]] void fail(const char* what, QStringView text, QStringView needle, long long from, bool downward,
                       bool matchCase, long long got, long long expected)
{
    std::fprintf(stderr, "search fuzz (%s): text %s needle %s from %lld %s %s: got %lld, expected %lld\n",
                 what, dump(text).c_str(), dump(needle).c_str(), from, downward ? "down" : "up",
                 matchCase ? "case" : "nocase", got, expected);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    // As the pane holds it: every LF in a CR LF.
    const QString text = withPaneLineBreaks(pick(in, 24));
    const QString needle = pick(in, 4);
    const auto from = in.ConsumeIntegralInRange<qsizetype>(-2, text.size() + 2);
    const bool downward = in.ConsumeBool(), matchCase = in.ConsumeBool();
    const CaseFolding folding = in.ConsumeBool() ? CaseFolding::Turkic : CaseFolding::Default;

    const qsizetype got = findInText(text, needle, from, downward, matchCase, folding);
    const qsizetype expected = naiveFind(text, needle, from, downward, matchCase, folding);
    if (got != expected)
        fail("findInText", text, needle, from, downward, matchCase, got, expected);

    // Through the pane: the selection is the starting point and becomes the hit.
    MemoryPane pane(text);
    NoPrompts prompts;
    const auto a = in.ConsumeIntegralInRange<qsizetype>(0, text.size());
    const auto b = in.ConsumeIntegralInRange<qsizetype>(0, text.size());
    pane.setSelection(a, b);
    const EditPane::Selection before = pane.selection();
    qsizetype start = -1;
    if (downward) {
        start = before.start;
        if (!before.isEmpty() && sameText(QStringView(text).sliced(before.start, before.end - before.start),
                                          needle, matchCase, userCaseFolding()))
            ++start;
    } else if (before.start > 0) {
        start = before.start - 1;
    }
    const qsizetype hit =
        start < 0 ? -1 : naiveFind(text, needle, start, downward, matchCase, userCaseFolding());
    const bool found = SearchText(pane, prompts, needle, downward, matchCase);
    const EditPane::Selection want = hit < 0 ? before : EditPane::Selection{hit, hit + needle.size()};
    if (found != (hit >= 0) || pane.selection() != want || pane.text() != text)
        fail("SearchText", text, needle, before.start, downward, matchCase, pane.selection().start,
             want.start);
    return 0;
}
