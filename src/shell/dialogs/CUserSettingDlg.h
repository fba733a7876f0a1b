#pragma once

#include "core/format/FormatTable.h"
#include "shell/dialogs/DialogBuilder.h"

#include <array>

// Edits name, begin and end text of the 10 user formats, texts in stored form.
class CUserSettingDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit CUserSettingDlg(QWidget* parent = nullptr);

    // User formats 1..10 at 0..9.
    std::array<FormatTable::UserFormat, FormatTable::UserCount> formats;
};
