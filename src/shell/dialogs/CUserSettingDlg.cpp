#include "shell/dialogs/CUserSettingDlg.h"

#include "core/res/ControlIds.h"

static_assert(ControlIds::UserFormatEdits.size() == FormatTable::UserCount);

CUserSettingDlg::CUserSettingDlg(QWidget* parent) : TemplateDialog(DialogTemplates::UserFormats, parent)
{
    for (int i = 0; i < FormatTable::UserCount; ++i) {
        bindText(ControlIds::UserFormatEdits[i].name, formats[i].name);
        bindText(ControlIds::UserFormatEdits[i].begin, formats[i].begin);
        bindText(ControlIds::UserFormatEdits[i].end, formats[i].end);
    }
}
