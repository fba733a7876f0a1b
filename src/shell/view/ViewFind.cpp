#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "shell/view/FindDialog.h"

void CKumorialView::registerFindCommands()
{
    commandMap.on(Cmd::Find, [this] { openFindDialog(false); });
    commandMap.on(Cmd::Replace, [this] { openFindDialog(true); });
    commandMap.on(Cmd::FindNextDown, [this] {
        if (!finder.repeatSearch(true))
            openFindDialog(false);
    });
    commandMap.on(Cmd::FindNextUp, [this] {
        if (!finder.repeatSearch(false))
            openFindDialog(false);
    });
}

EditPane& CKumorialView::findPane() const
{
    return pane->pane();
}

void CKumorialView::openFindDialog(bool replace)
{
    if (findDialog)
        return;
    const auto kind = replace ? FindDialog::Kind::Replace : FindDialog::Kind::Find;
    findDialog = new FindDialog(
        kind, finder,
        [this](const FindRequest& request) {
            if (finder.handleRequest(request) == FindReplace::Outcome::DialogClosed)
                findDialog = nullptr;
        },
        pane->window());
    findDialog->show();
}
