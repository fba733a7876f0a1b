#include "support/MemoryPane.h"
#include "core/base/TextCut.h"

#include <algorithm>

// Like the Qt pane, the text holds every line break as CR LF, so no edit can join a CR
// to a bare LF and move a line break.
MemoryPane::MemoryPane(QString text, qsizetype textLimit)
    : content(withPaneLineBreaks(text)), limit(textLimit)
{}

void MemoryPane::setSelection(qsizetype start, qsizetype end)
{
    const qsizetype n = content.size();
    if (end < 0)
        end = n;
    // As in the Qt pane, a position between the CR and the LF of a line break stands
    // before the break: markup put there must not split it.
    const auto place = [&](qsizetype p) {
        p = std::clamp<qsizetype>(p, 0, n);
        return p > 0 && p < n && content[p - 1] == u'\r' && content[p] == u'\n' ? p - 1 : p;
    };
    start = place(start);
    end = place(end);
    sel = {std::min(start, end), std::max(start, end)};
}

void MemoryPane::replaceSelection(const QString& text)
{
    const QString normalised = withPaneLineBreaks(text);
    const QStringView fitted = fitToRoom(normalised, limit - (content.size() - (sel.end - sel.start)));
    // As in the Qt pane, an edit that changes nothing leaves no undo step: the next undo
    // takes back the last real change.
    const bool edits = !fitted.isEmpty() || !sel.isEmpty();
    if (edits && (!groupDepth || !groupHasStep)) {
        undoStack.push_back({content, sel});
        groupHasStep = groupDepth > 0;
    }
    content.replace(sel.start, sel.end - sel.start, fitted.toString());
    sel.start = sel.end = sel.start + fitted.size();
    ++changes;
    notifyChanged();
}

void MemoryPane::setText(const QString& text)
{
    content = withPaneLineBreaks(text);
    sel = {};
    undoStack.clear();
}

void MemoryPane::beginUndoGroup()
{
    if (groupDepth++ == 0)
        groupHasStep = false;
}

void MemoryPane::endUndoGroup()
{
    --groupDepth;
}

void MemoryPane::undo()
{
    if (undoStack.empty())
        return;
    content = undoStack.back().text;
    sel = undoStack.back().selection;
    undoStack.pop_back();
    ++changes;
    notifyChanged();
}
