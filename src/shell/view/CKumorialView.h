#pragma once

#include "core/document/Recovery.h"
#include "core/format/FormatTable.h"
#include "core/search/FindReplace.h"
#include "shell/framework/CommandRouter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>

class EditPane;
class FindDialog;
class FileCommands;
class FrameLink;
class PaneWidget;
class Prompts;
class ProfileStore;
class QTimer;
class QWidget;

// The editor view: the one edit pane, the format table and the view's commands.
class CKumorialView : public QObject {
    Q_OBJECT
public:
    CKumorialView(ProfileStore& profile, Prompts& prompts, QWidget* parentWidget);
    // Saves every setting of the format table.
    ~CKumorialView() override;

    PaneWidget* paneWidget() const { return pane; }
    const CommandMap& commands() const { return commandMap; }
    // The document: its name, the file commands and the template.
    FileCommands& files() { return *fileCommands; }
    FormatTable& formats() { return table; }

    // The initial update: pane font, start-up document, hand-over to the frame.
    void initialUpdate(FrameLink* frame, const QStringList& arguments);

    // From here on the text is kept in recovery copies; a copy restored at start-up
    // replaces the start-up document, and the user hears of a file `arguments` named.
    void startRecovery(RecoveryStore& store, const std::optional<RecoveryCopy>& restored,
                       RecoverySchedule::Timing timing, const QStringList& arguments = {});

    // Inserts one character after the selection (the symbol picker's message).
    void insertCharacter(char16_t c);

    // The save question before the text may go; true when the caller may go on.
    bool QuerySaveChanges();

    int modified = 0;

    void publishUserFormatNames();
    void publishTransparency();

    // The pane font's face and size as the settings keep them: the size read at start-up
    // until a font is chosen, then the chosen font's.
    QString currentFace() const;
    int currentSize() const;

private:
    void registerViewCommands();
    void registerFormatCommands();
    // Each feature registers its commands from its own file (view/View*.cpp).
    void registerFileCommands();
    void loadEncodingSettings();
    // Writes the setting only when it changed, so a first exit writes the seed's keys alone.
    void saveEncodingSettings();
    void registerFindCommands();
    void openFindDialog(bool replace);
    EditPane& findPane() const;
    void registerDialogCommands();
    void registerPrintCommands();

    void SelectAllText();
    void ChooseEditorFont();
    void CopyAllText();
    void OpenBlogPage();

    ProfileStore& profile;
    Prompts& prompts;
    FormatTable table;
    PaneWidget* pane;
    CommandMap commandMap;
    FrameLink* frameLink = nullptr;
    std::unique_ptr<FileCommands> fileCommands;
    bool clipboardHasText = false;
    bool fontChosen = false;
    QString storedNewDocumentEncoding;
    FindReplace finder{findPane(), prompts};
    QPointer<FindDialog> findDialog;
    std::unique_ptr<DocumentRecovery> recovery;
    QTimer* recoveryTimer = nullptr;
    QElapsedTimer recoveryClock;
};
