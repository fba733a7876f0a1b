#include "shell/dialogs/CBaseSettingDlg.h"
#include "shell/dialogs/COptionDlg.h"
#include "shell/dialogs/CTangoDlg.h"
#include "shell/dialogs/CUserSettingDlg.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "shell/view/CMarkDlg.h"
#include "shell/view/FrameLink.h"

// The settings dialogs work on copies of one group of the format table and copy the whole
// group back only on OK; nothing is written to the settings file here.
void CKumorialView::registerDialogCommands()
{
    commandMap.on(Cmd::SymbolPicker, [this] { CMarkDlg::open(*this, pane->window()); });

    commandMap.on(Cmd::BaseFormatDialog, [this] {
        CBaseSettingDlg dialog(pane->window());
        dialog.formats = table.base;
        if (dialog.exec() == QDialog::Accepted) {
            table.base = dialog.formats;
            if (frameLink)
                frameLink->formatsChanged();
        }
    });

    commandMap.on(Cmd::UserFormatDialog, [this] {
        CUserSettingDlg dialog(pane->window());
        dialog.formats = table.user;
        if (dialog.exec() == QDialog::Accepted) {
            table.user = dialog.formats;
            publishUserFormatNames();
            if (frameLink)
                frameLink->formatsChanged();
        }
    });

    commandMap.on(Cmd::WordDialog, [this] {
        CTangoDlg dialog(pane->window());
        dialog.words = table.words;
        if (dialog.exec() == QDialog::Accepted)
            table.words = dialog.words;
    });

    commandMap.on(Cmd::OptionDialog, [this] {
        COptionDlg dialog(pane->window());
        dialog.webPageText = table.webPage;
        dialog.levelIndex = COptionDlg::indexOfTransparency(table.transparency);
        if (dialog.exec() == QDialog::Accepted) {
            table.webPage = dialog.webPageText;
            table.transparency = COptionDlg::transparencyOfIndex(dialog.levelIndex);
            publishTransparency();
        }
    });
}
