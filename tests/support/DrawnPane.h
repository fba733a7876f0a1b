#pragma once

#include "support/MemoryPane.h"

// Table rows draw the pane: "[" and "]" mark the selection, "|" a caret.
namespace DrawnPane {
inline MemoryPane paneFrom(const QString& drawn)
{
    QString text = drawn;
    qsizetype start = text.indexOf(u'[');
    qsizetype end;
    if (start >= 0) {
        text.remove(start, 1);
        end = text.indexOf(u']');
        text.remove(end, 1);
    } else {
        start = end = text.indexOf(u'|');
        text.remove(start, 1);
    }
    MemoryPane pane(text);
    pane.setSelection(start, end);
    return pane;
}

inline QString drawn(const MemoryPane& pane)
{
    const auto sel = pane.selection();
    QString t = pane.text();
    if (sel.isEmpty())
        return t.insert(sel.start, u'|');
    return t.insert(sel.end, u']').insert(sel.start, u'[');
}
} // namespace DrawnPane
