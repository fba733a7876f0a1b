#include "document/FileCommands.h"

#include "framework/Prompts.h"
#include "res/Strings.h"
#include "view/EditPane.h"

#include <QFileInfo>

FileCommands::FileCommands(EditPane& p, Prompts& pr, int& flag, QString folder)
    : modified(flag), pane(p), prompts(pr), templateFolder(std::move(folder))
{}

QString FileCommands::displayName(const QString& path)
{
    return QFileInfo(path).fileName();
}

QString FileCommands::proposedName(const QDateTime& time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    return resString(Str::ProposedNamePrefix) +
           QString::asprintf("_%04d%02d%02d%02d%02d", d.year(), d.month(), d.day(), t.hour(), t.minute());
}

void FileCommands::SetDocumentTitle(const QString& name)
{
    prompts.setWindowTitle(name + u' ' + titleSuffix);
}

bool FileCommands::QuerySaveChanges()
{
    if (modified != 1)
        return true;
    const QString name = fileTitle.isEmpty() ? resString(Str::Untitled) : fileTitle;
    switch (prompts.messageBox(name + u' ' + resString(Str::SaveQuestion), Prompts::Buttons::YesNoCancel)) {
    case Prompts::Answer::Yes:
        return SaveDocument();
    case Prompts::Answer::No:
        return true;
    default:
        return false;
    }
}

void FileCommands::settle()
{
    if (changesSettled)
        changesSettled();
}

void FileCommands::NewDocument()
{
    if (!QuerySaveChanges())
        return;
    ApplyTemplate();
    filePath.clear();
    fileTitle.clear();
    SetDocumentTitle(resString(Str::Untitled));
    modified = 0;
    settle();
}

bool FileCommands::openAsDocument(const QString& path)
{
    // A name the create prompt accepted does not exist yet: it becomes the document's name
    // although the load fails, so that Save creates it with the current text.
    const bool exists = QFileInfo::exists(path);
    const bool loaded = codec.LoadTextFile(pane, prompts, path, modified);
    if (loaded || !exists) {
        filePath = path;
        fileTitle = displayName(path);
        SetDocumentTitle(fileTitle);
    }
    if (loaded)
        settle();
    return loaded;
}

void FileCommands::OpenDocument()
{
    if (!QuerySaveChanges())
        return;
    const std::optional<QString> path = prompts.openFileName();
    if (!path)
        return;
    openAsDocument(*path);
}

bool FileCommands::SaveDocument()
{
    if (filePath.isEmpty())
        return SaveDocumentAs();
    const bool saved = codec.SaveTextFile(pane, prompts, filePath, modified) == TextCodec::SaveResult::Saved;
    SetDocumentTitle(fileTitle);
    if (saved)
        settle();
    return saved;
}

bool FileCommands::SaveDocumentAs()
{
    const std::optional<QString> path = prompts.saveFileName(proposedName(prompts.localTime()));
    if (!path)
        return false;
    // The new name stays also when the save fails.
    filePath = *path;
    fileTitle = displayName(*path);
    const bool saved = codec.SaveTextFile(pane, prompts, filePath, modified) == TextCodec::SaveResult::Saved;
    SetDocumentTitle(fileTitle);
    if (saved)
        settle();
    return saved;
}

void FileCommands::OpenDroppedFile(const QStringList& paths)
{
    if (paths.isEmpty() || !QuerySaveChanges())
        return;
    openAsDocument(paths.constFirst());
}

QString FileCommands::commandLineText(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return {};
    if (arguments.constFirst().startsWith(u'-'))
        return arguments.join(u' ');
    QString text;
    for (const QString& argument : arguments) {
        if (!text.isEmpty())
            text += u' ';
        text += u'"' + argument + u'"';
    }
    return text;
}

bool FileCommands::GetCommandLineFiles(const QString& commandLine, QStringList& list)
{
    list.clear();
    if (commandLine.isEmpty() || commandLine.startsWith(u'-'))
        return false;
    for (const QString& piece : commandLine.split(u'"', Qt::SkipEmptyParts))
        if (TextCodec::FileCanBeRead(piece))
            list.append(piece);
    return true;
}

void FileCommands::ChooseStartupDocument(const QStringList& arguments)
{
    titleSuffix = QStringLiteral("- ") + prompts.windowTitle();
    QStringList files;
    GetCommandLineFiles(commandLineText(arguments), files);
    if (files.isEmpty()) {
        NewDocument();
        return;
    }
    // A file that passed the check but fails to load still becomes the document, like a
    // name taken in the Open dialog: the pane is still empty, and nothing is written unless
    // the user saves.
    filePath = files.constFirst();
    fileTitle = displayName(filePath);
    codec.LoadTextFile(pane, prompts, filePath, modified);
    SetDocumentTitle(fileTitle);
    settle();
}
