#pragma once

#include "core/format/FormatTable.h"
#include "shell/dialogs/DialogBuilder.h"

#include <array>

// Edits the begin and end texts of the 15 base formats, in stored form.
class CBaseSettingDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit CBaseSettingDlg(QWidget* parent = nullptr);

    // Base formats 1..15 at 0..14.
    std::array<FormatTable::Pair, FormatTable::BaseCount> formats;
};
