#pragma once

#include <QString>
#include <functional>

// The edit pane as the program's rules see it. Positions are UTF-16 code units of the
// whole text, in which a line break counts as the two characters CR LF.
class EditPane {
public:
    // The pane holds at most this many characters (line breaks counting two).
    static constexpr qsizetype TextLimit = 0xFFFFF;

    struct Selection {
        qsizetype start = 0;
        qsizetype end = 0;
        bool isEmpty() const { return start == end; }
        friend bool operator==(const Selection&, const Selection&) = default;
    };

    virtual ~EditPane();

    // start <= end, whatever the direction in which the selection was made.
    virtual Selection selection() const = 0;
    // (p, p) puts the caret at p; end = -1 means the end of the text. Out-of-range
    // positions are pulled into the text; a position inside a CR LF stands before it.
    virtual void setSelection(qsizetype start, qsizetype end) = 0;
    virtual void scrollCaret() = 0;
    // One undoable edit: the caret stands after the inserted text, nothing selected, and
    // the change handler runs. Text beyond the pane's limit is not inserted.
    virtual void replaceSelection(const QString& text) = 0;
    // The whole text with CR LF line breaks. The reference stays valid until the next change.
    virtual const QString& text() const = 0;
    // Replaces everything without a change notification and clears the undo history.
    virtual void setText(const QString& text) = 0;
    virtual qsizetype length() const = 0;
    virtual qsizetype textLimit() const { return TextLimit; }

    // The replacements between begin and end undo as one step.
    virtual void beginUndoGroup() {}
    virtual void endUndoGroup() {}

    void setChangeHandler(std::function<void()> handler) { changed = std::move(handler); }

protected:
    void notifyChanged()
    {
        if (changed)
            changed();
    }

private:
    std::function<void()> changed;
};

// A line break in inserted text is CR LF, as the pane holds it: a bare LF becomes CR LF.
QString withPaneLineBreaks(const QString& text);
