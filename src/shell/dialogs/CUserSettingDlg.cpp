#include "shell/dialogs/CUserSettingDlg.h"

const std::array<std::array<int, 3>, FormatTable::UserCount> CUserSettingDlg::controlIds = {{
    {1046, 1034, 1045},
    {1047, 1035, 1056},
    {1048, 1036, 1057},
    {1049, 1037, 1058},
    {1050, 1038, 1059},
    {1051, 1039, 1060},
    {1052, 1040, 1061},
    {1053, 1042, 1062},
    {1054, 1043, 1063},
    {1055, 1044, 1064},
}};

CUserSettingDlg::CUserSettingDlg(QWidget* parent) : TemplateDialog(DialogTemplates::UserFormats, parent)
{
    for (int i = 0; i < FormatTable::UserCount; ++i) {
        bindText(controlIds[i][0], formats[i].name);
        bindText(controlIds[i][1], formats[i].begin);
        bindText(controlIds[i][2], formats[i].end);
    }
}
