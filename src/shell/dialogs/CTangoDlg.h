#pragma once

#include "core/format/FormatTable.h"
#include "shell/dialogs/DialogBuilder.h"

#include <array>

// Edits the ten registered words; "登録" confirms.
class CTangoDlg : public TemplateDialog {
    Q_OBJECT
public:
    explicit CTangoDlg(QWidget* parent = nullptr);

    std::array<QString, FormatTable::WordCount> words;
};
