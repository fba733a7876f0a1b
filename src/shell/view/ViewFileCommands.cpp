#include "core/document/Encoding.h"
#include "core/document/FileCommands.h"
#include "core/settings/ProfileStore.h"
#include "core/settings/SettingsKeys.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"

void CKumorialView::registerFileCommands()
{
    FileCommands& f = *fileCommands;
    commandMap.on(Cmd::FileNew, [&f] { f.NewDocument(); });
    commandMap.on(Cmd::FileOpen, [&f] { f.OpenDocument(); });
    commandMap.on(Cmd::FileSave, [&f] { f.SaveDocument(); });
    commandMap.on(Cmd::FileSaveAs, [&f] { f.SaveDocumentAs(); });
    commandMap.on(Cmd::SaveAsTemplate, [&f] { f.SaveAsTemplate(); });
    for (int i = 0; i < Encodings::ChoiceCount; ++i) {
        const DocumentEncoding choice = Encodings::choice(i);
        commandMap.on(
            Cmd::Id(Cmd::ReopenEncodingFirst + i), [&f, choice] { f.ReopenWithEncoding(choice.kind); },
            [&f](CommandState& s) { s.enabled = !f.filePath.isEmpty(); });
        commandMap.on(
            Cmd::Id(Cmd::SaveEncodingFirst + i), [&f, choice] { f.SetSaveEncoding(choice); },
            [&f, i](CommandState& s) { s.checked = Encodings::choiceIndex(f.encoding) == i ? 1 : 0; });
        commandMap.on(
            Cmd::Id(Cmd::NewEncodingFirst + i), [&f, choice] { f.newDocumentEncoding = choice; },
            [&f, i](CommandState& s) {
                s.checked = Encodings::choiceIndex(f.newDocumentEncoding) == i ? 1 : 0;
            });
    }
    // Queued: the save question must not open inside the drop itself.
    connect(
        pane, &PaneWidget::filesDropped, this, [&f](const QStringList& paths) { f.OpenDroppedFile(paths); },
        Qt::QueuedConnection);
}

void CKumorialView::loadEncodingSettings()
{
    storedNewDocumentEncoding =
        profile.readString(Keys::section(Str::SectionEncoding), Keys::NewDocumentEncoding, QString());
    // An unknown value falls back to Shift_JIS, as if the key were missing.
    const std::optional<DocumentEncoding> stored = DocumentEncoding::fromString(storedNewDocumentEncoding);
    fileCommands->newDocumentEncoding = stored.value_or(DocumentEncoding::shiftJis());
}

void CKumorialView::saveEncodingSettings()
{
    const DocumentEncoding current = fileCommands->newDocumentEncoding;
    const std::optional<DocumentEncoding> stored = DocumentEncoding::fromString(storedNewDocumentEncoding);
    if (current == stored.value_or(DocumentEncoding::shiftJis()))
        return;
    profile.writeString(Keys::section(Str::SectionEncoding), Keys::NewDocumentEncoding, current.toString());
}
