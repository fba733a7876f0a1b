#include "core/format/Markup.h"

#include "core/base/EditPane.h"
#include "core/format/FormatTable.h"

void WrapSelection(EditPane& pane, const QString& begin, const QString& end)
{
    const QString b = insertedForm(begin);
    const QString e = insertedForm(end);
    const EditPane::Selection sel = pane.selection();
    QString replacement;
    replacement.reserve(b.size() + (sel.end - sel.start) + e.size());
    replacement += b;
    replacement += QStringView(pane.text()).sliced(sel.start, sel.end - sel.start);
    replacement += e;
    // A pane too full for the whole markup is left as it is: cutting the replacement
    // short would lose the selected text.
    const qsizetype selected = sel.end - sel.start;
    if (pane.length() - selected + withPaneLineBreaks(replacement).size() > pane.textLimit())
        return;
    pane.setSelection(sel.start, sel.end);
    pane.scrollCaret();
    pane.replaceSelection(replacement);
}

void InsertAfterSelection(EditPane& pane, const QString& text)
{
    const EditPane::Selection sel = pane.selection();
    pane.setSelection(sel.end, sel.end);
    pane.scrollCaret();
    pane.replaceSelection(text);
}
