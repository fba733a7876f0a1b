#include "view/MemoryPane.h"

#include <algorithm>

MemoryPane::MemoryPane(QString text, qsizetype textLimit) : content(std::move(text)), limit(textLimit) {}

void MemoryPane::setSelection(qsizetype start, qsizetype end)
{
    const qsizetype n = content.size();
    if (end < 0)
        end = n;
    start = std::clamp<qsizetype>(start, 0, n);
    end = std::clamp<qsizetype>(end, 0, n);
    sel = {std::min(start, end), std::max(start, end)};
}

void MemoryPane::replaceSelection(const QString& text)
{
    const QString normalised = withPaneLineBreaks(text);
    const QStringView fitted = fitToRoom(normalised, limit - (content.size() - (sel.end - sel.start)));
    if (!groupDepth || !groupHasStep)
        undoStack.push_back({content, sel});
    groupHasStep = groupDepth > 0;
    content.replace(sel.start, sel.end - sel.start, fitted.toString());
    sel.start = sel.end = sel.start + fitted.size();
    ++changes;
    notifyChanged();
}

void MemoryPane::setText(const QString& text)
{
    content = text;
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
