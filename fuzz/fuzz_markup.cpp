// WrapSelection, InsertAfterSelection and undo on the in-memory pane against a plain
// string model of the pane: same text, same selection after every step, and the pane's
// limit always holds.
#include "core/format/Markup.h"
#include "support/MemoryPane.h"

#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {
constexpr qsizetype Limit = 48;

struct Model {
    QString text;
    qsizetype start = 0, end = 0;
    struct Step {
        QString text;
        qsizetype start, end;
    };
    std::vector<Step> undo;
    bool grouped = false, groupHasStep = false;

    qsizetype clampPosition(qsizetype p) const
    {
        p = std::clamp<qsizetype>(p, 0, text.size());
        // A position never falls between the CR and the LF of a line break.
        if (p > 0 && p < text.size() && text[p - 1] == u'\r' && text[p] == u'\n')
            --p;
        return p;
    }
    void select(qsizetype a, qsizetype b)
    {
        if (b < 0)
            b = text.size();
        a = clampPosition(a);
        b = clampPosition(b);
        start = std::min(a, b);
        end = std::max(a, b);
    }
    void replace(const QString& inserted)
    {
        QString t;
        for (qsizetype i = 0; i < inserted.size(); ++i) {
            if (inserted[i] == u'\n' && (i == 0 || inserted[i - 1] != u'\r'))
                t += u'\r';
            t += inserted[i];
        }
        const qsizetype room = Limit - (text.size() - (end - start));
        // The longest head of t that fits, cut neither after a high surrogate nor inside a
        // line break.
        qsizetype n = std::clamp<qsizetype>(room, 0, t.size());
        if (n > 0 && n < t.size() && (t[n - 1].isHighSurrogate() || (t[n - 1] == u'\r' && t[n] == u'\n')))
            --n;
        // An edit that changes nothing leaves no undo step.
        if ((n > 0 || start != end) && (!grouped || !groupHasStep)) {
            undo.push_back({text, start, end});
            groupHasStep = grouped;
        }
        text = text.left(start) + t.left(n) + text.mid(end);
        start = end = start + n;
    }
    void undoStep()
    {
        if (undo.empty())
            return;
        text = undo.back().text;
        start = undo.back().start;
        end = undo.back().end;
        undo.pop_back();
    }
};

QString withoutBackslashes(QString s)
{
    return s.remove(u'\\');
}

// Short texts from a small alphabet that holds what matters: line-break halves,
// surrogate halves, backslashes and quotation marks.
QString pick(FuzzedDataProvider& in)
{
    static const char16_t alphabet[] = {u'a', u'\r', u'\n', u'\\', u'"', u' ', 0xD83D, 0xDE00, u'あ'};
    QString s;
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, 12);
    for (size_t i = 0; i < n; ++i)
        s += QChar(alphabet[in.ConsumeIntegralInRange<size_t>(0, std::size(alphabet) - 1)]);
    return s;
}

std::string dump(const QString& s, qsizetype start, qsizetype end)
{
    std::string out;
    for (QChar c : s)
        out += c.unicode() >= 0x20 && c.unicode() < 0x7F ? std::string(1, char(c.unicode()))
                                                         : "<" + std::to_string(c.unicode()) + ">";
    return out + " (" + std::to_string(start) + "," + std::to_string(end) + ")";
}

[[noreturn]] void fail(const char* op, const MemoryPane& pane, const Model& model)
{
    std::fprintf(stderr, "markup fuzz: after %s\n pane  %s\n model %s\n", op,
                 dump(pane.text(), pane.selection().start, pane.selection().end).c_str(),
                 dump(model.text, model.start, model.end).c_str());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    Model model;
    const QString initial = pick(in);
    MemoryPane pane(initial, Limit);
    for (qsizetype i = 0; i < initial.size(); ++i) {
        if (initial[i] == u'\n' && (i == 0 || initial[i - 1] != u'\r'))
            model.text += u'\r';
        model.text += initial[i];
    }
    while (in.remaining_bytes() > 0) {
        const char* op = "";
        switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0: {
            op = "select";
            const auto a = in.ConsumeIntegralInRange<qsizetype>(-2, Limit + 2);
            const auto b = in.ConsumeIntegralInRange<qsizetype>(-2, Limit + 2);
            pane.setSelection(a, b);
            model.select(a, b);
            break;
        }
        case 1: {
            op = "wrap";
            const QString b = pick(in), e = pick(in);
            WrapSelection(pane, b, e);
            const QString wrapped = withoutBackslashes(b) +
                                    model.text.mid(model.start, model.end - model.start) +
                                    withoutBackslashes(e);
            qsizetype needed = wrapped.size();
            for (qsizetype i = 0; i < wrapped.size(); ++i)
                needed += wrapped[i] == u'\n' && (i == 0 || wrapped[i - 1] != u'\r');
            // Markup that does not fit whole leaves the text alone.
            if (model.text.size() - (model.end - model.start) + needed <= Limit) {
                model.select(model.start, model.end);
                model.replace(wrapped);
            }
            break;
        }
        case 2: {
            op = "insert after";
            const QString t = pick(in);
            InsertAfterSelection(pane, t);
            model.select(model.end, model.end);
            model.replace(t);
            break;
        }
        case 3:
            op = "undo";
            pane.undo();
            model.undoStep();
            break;
        case 4:
            op = "group";
            if (!model.grouped) {
                pane.beginUndoGroup();
                model.grouped = true;
                model.groupHasStep = false;
            }
            break;
        default:
            op = "end group";
            if (model.grouped) {
                pane.endUndoGroup();
                model.grouped = false;
            }
            break;
        }
        if (std::getenv("FUZZ_TRACE"))
            std::fprintf(stderr, "%s: %s\n", op, dump(model.text, model.start, model.end).c_str());
        if (pane.text() != model.text || pane.selection().start != model.start ||
            pane.selection().end != model.end || pane.length() > Limit)
            fail(op, pane, model);
    }
    if (model.grouped)
        pane.endUndoGroup();
    return 0;
}
