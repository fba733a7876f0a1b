#include "shell/dialogs/CBaseSettingDlg.h"

const std::array<std::array<int, 2>, FormatTable::BaseCount> CBaseSettingDlg::controlIds = {{
    {1016, 1017}, // bold
    {1018, 1019}, // italic
    {1020, 1021}, // bold italic
    {1040, 1041}, // underline
    {1022, 1023}, // strike-through
    {1024, 1025}, // text colour
    {1026, 1027}, // background colour
    {1028, 1029}, // size
    {1030, 1031}, // left
    {1032, 1033}, // centre
    {1034, 1035}, // right
    {1036, 1037}, // image
    {1038, 1039}, // link
    {1042, 1043}, // heading
    {1044, 1045}, // quote
}};

CBaseSettingDlg::CBaseSettingDlg(QWidget* parent) : TemplateDialog(DialogTemplates::BaseFormats, parent)
{
    for (int i = 0; i < FormatTable::BaseCount; ++i) {
        bindText(controlIds[i][0], formats[i].begin);
        bindText(controlIds[i][1], formats[i].end);
    }
}
