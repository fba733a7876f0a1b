#include "document/FileCommands.h"
#include "framework/QtEditPane.h"
#include "view/CKumorialView.h"

void CKumorialView::registerFileCommands()
{
    FileCommands& f = *fileCommands;
    commandMap.on(Cmd::FileNew, [&f] { f.NewDocument(); });
    commandMap.on(Cmd::FileOpen, [&f] { f.OpenDocument(); });
    commandMap.on(Cmd::FileSave, [&f] { f.SaveDocument(); });
    commandMap.on(Cmd::FileSaveAs, [&f] { f.SaveDocumentAs(); });
    commandMap.on(Cmd::SaveAsTemplate, [&f] { f.SaveAsTemplate(); });
    // Queued: the save question must not open inside the drop itself.
    connect(
        pane, &PaneWidget::filesDropped, this, [&f](const QStringList& paths) { f.OpenDroppedFile(paths); },
        Qt::QueuedConnection);
}
