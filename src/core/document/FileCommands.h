#pragma once

#include "core/document/TextCodec.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <utility>

class EditPane;
class Prompts;

// The one document of the program: New, Open, Save, Save As, dropped files, the start-up
// document, the save question, the window title and the template document.
class FileCommands {
public:
    // `modified` is the view's unsaved-changes flag, which the pane's edits also set;
    // `templateFolder` holds Kumorial.tmp (the folder of the settings file).
    FileCommands(EditPane& pane, Prompts& prompts, int& modified, QString templateFolder);

    QString filePath;
    QString fileTitle;
    int& modified;
    QString titleSuffix;
    // Runs when the pane's changes are no longer only in the pane: the text was saved, or
    // replaced by a new or opened document.
    std::function<void()> changesSettled;
    // What the document is saved in; a loaded file keeps its own.
    DocumentEncoding encoding;
    // What New and the template document are saved in (a setting).
    DocumentEncoding newDocumentEncoding;

    void SetDocumentTitle(const QString& name);
    // The save question; true when the caller may let the text go. After Yes only a save
    // that really happened lets it go.
    bool QuerySaveChanges();
    void NewDocument();
    void OpenDocument();
    // True when the text was written.
    bool SaveDocument();
    bool SaveDocumentAs();
    // Runs after a command that may have changed `encoding` (the status bar shows it).
    void setEncodingHandler(std::function<void(const DocumentEncoding&)> handler);

    // Reads the document's file again in `kind`, after the save question.
    void ReopenWithEncoding(DocumentEncoding::Kind kind);
    // The encoding the next save writes; a change counts as a change of the document.
    void SetSaveEncoding(const DocumentEncoding& chosen);
    // Opens the first of the dropped files.
    void OpenDroppedFile(const QStringList& paths);
    // Opens the first readable file of the command line, or else starts a new document.
    void ChooseStartupDocument(const QStringList& arguments);
    // The file that start-up opens: the first readable one the command line names, if any.
    static QString startupFile(const QStringList& arguments);

    // The pieces of the command-line text that name readable files; false when the text
    // is empty or begins with "-".
    static bool GetCommandLineFiles(const QString& commandLine, QStringList& list);
    // The command-line text of arguments the platform has already split: each in double
    // quotes, separated by blanks; a first argument beginning with "-" leaves it as given.
    static QString commandLineText(const QStringList& arguments);
    // "ブログ_YYYYMMDDhhmm".
    static QString proposedName(const QDateTime& time);
    // The display name of a path: the file name with its extension.
    static QString displayName(const QString& path);

    QString GetTemplatePath() const;
    void SaveAsTemplate();
    // Fills the pane from the template with the date and time, or empties it.
    void ApplyTemplate();
    // The template's placeholders in the order they are replaced, with their values.
    static std::array<std::pair<QString, QString>, 5> placeholderValues(const QDateTime& time);

private:
    // Loads `path` as the document named `path`. A file that exists but cannot be read
    // leaves the old name, so that a later save cannot overwrite what was never shown.
    bool openAsDocument(const QString& path);
    void settle();
    // Saves the pane in `target` after asking about characters it cannot hold; the choice of
    // UTF-8 changes `target`. Cancel writes nothing and puts the caret on the first one.
    bool saveGuarded(const QString& path, DocumentEncoding& target, int& flag);

    void encodingMayHaveChanged();

    EditPane& pane;
    Prompts& prompts;
    std::function<void(const DocumentEncoding&)> encodingHandler;
    QString templateFolder;
    TextCodec codec;
};
