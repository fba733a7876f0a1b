#include "shell/dialogs/CTangoDlg.h"

#include "core/res/ControlIds.h"

static_assert(ControlIds::WordEdits.size() == FormatTable::WordCount);

CTangoDlg::CTangoDlg(QWidget* parent) : TemplateDialog(DialogTemplates::Words, parent)
{
    for (int i = 0; i < FormatTable::WordCount; ++i)
        bindText(ControlIds::WordEdits[i], words[i]);
}
