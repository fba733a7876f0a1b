#include "shell/dialogs/CTangoDlg.h"

CTangoDlg::CTangoDlg(QWidget* parent) : TemplateDialog(DialogTemplates::Words, parent)
{
    for (int i = 0; i < FormatTable::WordCount; ++i)
        bindText(FirstWordId + i, words[i]);
}
