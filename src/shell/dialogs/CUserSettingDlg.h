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

    // Name, begin and end edit of each user format. The numbers are this dialog's own:
    // the base-format dialog uses some of them for other rows.
    static const std::array<std::array<int, 3>, FormatTable::UserCount> controlIds;
};
