// The Qt pane the program ships (offscreen) against the in-memory pane: random texts with
// lone CRs, CR LF, bare LFs, surrogates and the characters the Qt pane uses internally;
// selections made both ways, by positions and by Shift+arrow keys; replacements, typed
// characters, line breaks, input-method commits and undo. After every step the whole
// text, the length, the selection and its direction must agree, and pane positions must
// map onto the widget's document and back.
#include "shell/framework/QtEditPane.h"
#include "support/MemoryPane.h"
#include "support/OffscreenApp.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {
PaneWidget* widget = nullptr;

QString pick(FuzzedDataProvider& in, size_t maxLength)
{
    static const char16_t alphabet[] = {u'a',   u'b',   u'\r',  u'\n',  u' ',  u'あ',
                                        0xD83D, 0xDE00, 0xFFFC, 0x240D, u'\t', u'x'};
    QString s;
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, maxLength);
    for (size_t i = 0; i < n; ++i)
        s += QChar(alphabet[in.ConsumeIntegralInRange<size_t>(0, std::size(alphabet) - 1)]);
    return s;
}

// What one key of the alphabet types: printable characters and the tab only.
QString typable(FuzzedDataProvider& in)
{
    static const char16_t keys[] = {u'a', u'b', u' ', u'あ', u'\t', 0x240D};
    return QString(QChar(keys[in.ConsumeIntegralInRange<size_t>(0, std::size(keys) - 1)]));
}

std::string dump(QStringView s)
{
    std::string out;
    for (QChar c : s) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += char(c.unicode());
        else
            out += "<" + std::to_string(c.unicode()) + ">";
    }
    return out;
}

struct Model {
    MemoryPane pane;
    qsizetype anchor = 0;
    qsizetype caret = 0;
    int undoable = 0; // replacements since the last key, each one undo step in both panes

    void select(qsizetype a, qsizetype c)
    {
        pane.setSelection(a, c);
        // The memory pane orders the ends; the direction is kept here.
        const EditPane::Selection s = pane.selection();
        anchor = a <= c ? s.start : s.end;
        caret = a <= c ? s.end : s.start;
    }
    void replace(const QString& t)
    {
        pane.replaceSelection(t);
        anchor = caret = pane.selection().start;
    }
    // The unit that one arrow key steps over: a line break or a surrogate pair is one.
    qsizetype step(qsizetype p, bool right) const
    {
        const QString& t = pane.text();
        if (right) {
            if (p >= t.size())
                return p;
            const bool pair = p + 1 < t.size() && ((t[p] == u'\r' && t[p + 1] == u'\n') ||
                                                   (t[p].isHighSurrogate() && t[p + 1].isLowSurrogate()));
            return p + (pair ? 2 : 1);
        }
        if (p <= 0)
            return p;
        const bool pair = p >= 2 && ((t[p - 2] == u'\r' && t[p - 1] == u'\n') ||
                                     (t[p - 2].isHighSurrogate() && t[p - 1].isLowSurrogate()));
        return p - (pair ? 2 : 1);
    }
};

std::string trail;

[[noreturn]] void fail(const char* what, const Model& m)
{
    const QtEditPane& q = widget->pane();
    const QTextCursor c = widget->textCursor();
    std::fprintf(stderr,
                 "qtpane fuzz: %s\n  steps: %s\n  model: %s anchor %lld caret %lld\n"
                 "  qt:    %s anchor %lld caret %lld length %lld\n",
                 what, trail.c_str(), dump(m.pane.text()).c_str(), (long long)m.anchor, (long long)m.caret,
                 dump(q.text()).c_str(), (long long)q.toPanePosition(c.anchor()),
                 (long long)q.toPanePosition(c.position()), (long long)q.length());
    std::abort();
}

void compare(const Model& m, bool withSelection)
{
    QtEditPane& q = widget->pane();
    if (q.text() != m.pane.text())
        fail("texts differ", m);
    if (q.length() != m.pane.length())
        fail("length is not the text's", m);
    if (!withSelection)
        return;
    const QTextCursor c = widget->textCursor();
    if (q.selection() != m.pane.selection() || q.toPanePosition(c.anchor()) != m.anchor ||
        q.toPanePosition(c.position()) != m.caret)
        fail("selections differ", m);
}

void checkPositions(FuzzedDataProvider& in, const Model& m)
{
    const QtEditPane& q = widget->pane();
    const QString& t = m.pane.text();
    const auto p = in.ConsumeIntegralInRange<qsizetype>(0, t.size());
    const bool insideBreak = p > 0 && p < t.size() && t[p - 1] == u'\r' && t[p] == u'\n';
    const qsizetype back = q.toPanePosition(q.toDocumentPosition(p));
    if (back != (insideBreak ? p - 1 : p))
        fail(("position " + std::to_string(p) + " maps back to " + std::to_string(back)).c_str(), m);
}

void sendKey(int key, Qt::KeyboardModifiers mods, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(widget, &release);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    TestSupport::offscreenApplication();
    widget = new PaneWidget;
    widget->resize(300, 200);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString start = pick(in, 16);
    Model m{MemoryPane(start)};
    widget->pane().setText(start);
    trail = "setText(" + dump(start) + ")";
    compare(m, true);

    for (int steps = 0; steps < 24 && in.remaining_bytes() > 0; ++steps) {
        const qsizetype n = m.pane.length();
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: { // select by positions, either way, out of range too
            const auto a = in.ConsumeIntegralInRange<qsizetype>(-1, n + 1);
            const auto c = in.ConsumeIntegralInRange<qsizetype>(0, n + 1);
            trail += " select(" + std::to_string(a) + "," + std::to_string(c) + ")";
            m.select(a < 0 ? n : a, c);
            QTextCursor cur(widget->document());
            QtEditPane& q = widget->pane();
            cur.setPosition(q.toDocumentPosition(std::min<qsizetype>(a < 0 ? n : a, n)));
            cur.setPosition(q.toDocumentPosition(std::min(c, n)), QTextCursor::KeepAnchor);
            widget->setTextCursor(cur);
            break;
        }
        case 1: { // the program's own setSelection, as the commands use it
            const auto a = in.ConsumeIntegralInRange<qsizetype>(0, n + 1);
            const auto c = in.ConsumeIntegralInRange<qsizetype>(-1, n + 1);
            trail += " setSelection(" + std::to_string(a) + "," + std::to_string(c) + ")";
            widget->pane().setSelection(a, c);
            m.select(a, c < 0 ? n : c);
            break;
        }
        case 2: {
            const QString t = pick(in, 6);
            trail += " replace(" + dump(t) + ")";
            const bool edits = !t.isEmpty() || !m.pane.selection().isEmpty();
            widget->pane().replaceSelection(t);
            m.replace(t);
            m.undoable += edits ? 1 : 0;
            break;
        }
        case 3: {
            const QString t = typable(in);
            trail += " type(" + dump(t) + ")";
            sendKey(Qt::Key_unknown, Qt::NoModifier, t);
            m.replace(t);
            m.undoable = 0;
            break;
        }
        case 4:
            trail += " Return";
            sendKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            m.replace(QStringLiteral("\r\n"));
            m.undoable = 0;
            break;
        case 5: {
            const QString t = typable(in) + typable(in);
            trail += " commit(" + dump(t) + ")";
            QInputMethodEvent preedit(t.left(1), {});
            QApplication::sendEvent(widget, &preedit);
            QInputMethodEvent commit;
            commit.setCommitString(t);
            QApplication::sendEvent(widget, &commit);
            m.replace(t);
            m.undoable = 0;
            break;
        }
        case 6: { // Shift+Left or Shift+Right
            const bool right = in.ConsumeBool();
            trail += right ? " Shift+Right" : " Shift+Left";
            sendKey(right ? Qt::Key_Right : Qt::Key_Left, Qt::ShiftModifier);
            const qsizetype a = m.anchor, c = m.step(m.caret, right);
            m.select(a, c);
            m.anchor = a;
            m.caret = c;
            break;
        }
        case 7:
            if (m.undoable == 0)
                continue;
            trail += " undo";
            widget->undo();
            m.pane.undo();
            --m.undoable;
            compare(m, false);
            // Where each pane leaves the caret after an undo is its own affair.
            m.select(0, 0);
            widget->pane().setSelection(0, 0);
            break;
        }
        compare(m, true);
        checkPositions(in, m);
    }
    return 0;
}
