#pragma once

#include "core/base/EditPane.h"

#include <vector>

// An edit pane held in memory, with undo: the pane of tests, fuzzers and benchmarks.
class MemoryPane final : public EditPane {
public:
    explicit MemoryPane(QString text = {}, qsizetype limit = TextLimit);

    Selection selection() const override { return sel; }
    void setSelection(qsizetype start, qsizetype end) override;
    void scrollCaret() override { ++scrolls; }
    void replaceSelection(const QString& text) override;
    const QString& text() const override { return content; }
    void setText(const QString& text) override;
    qsizetype length() const override { return content.size(); }
    qsizetype textLimit() const override { return limit; }
    void beginUndoGroup() override;
    void endUndoGroup() override;

    bool canUndo() const { return !undoStack.empty(); }
    void undo();
    int scrollCount() const { return scrolls; }
    int changeCount() const { return changes; }

private:
    struct UndoStep {
        QString text;
        Selection selection;
    };
    QString content;
    Selection sel;
    qsizetype limit;
    std::vector<UndoStep> undoStack;
    int groupDepth = 0;
    bool groupHasStep = false;
    int scrolls = 0;
    int changes = 0;
};
