#include "shell/dialogs/CBaseSettingDlg.h"

#include "core/res/ControlIds.h"

static_assert(ControlIds::BaseFormatEdits.size() == FormatTable::BaseCount);

CBaseSettingDlg::CBaseSettingDlg(QWidget* parent) : TemplateDialog(DialogTemplates::BaseFormats, parent)
{
    for (int i = 0; i < FormatTable::BaseCount; ++i) {
        bindText(ControlIds::BaseFormatEdits[i].begin, formats[i].begin);
        bindText(ControlIds::BaseFormatEdits[i].end, formats[i].end);
    }
}
