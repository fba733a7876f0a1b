#include "core/document/FileCommands.h"

#include "core/document/Encoding.h"

#include "core/base/EditPane.h"
#include "core/base/Prompts.h"
#include "core/res/Strings.h"

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

void FileCommands::setEncodingHandler(std::function<void(const DocumentEncoding&)> handler)
{
    encodingHandler = std::move(handler);
    encodingMayHaveChanged();
}

void FileCommands::encodingMayHaveChanged()
{
    if (encodingHandler)
        encodingHandler(encoding);
}

bool FileCommands::saveGuarded(const QString& path, DocumentEncoding& target, int& flag)
{
    const QString text = pane.text();
    const Encodings::UnrepresentableScan scan = Encodings::findUnrepresentable(text, target);
    if (!scan.isEmpty()) {
        switch (prompts.askCharacterLoss(scan, target.displayName())) {
        case Prompts::LossChoice::SaveAsUtf8:
            // A bare-LF file keeps its line breaks in its new encoding, as a chosen one does.
            target = {DocumentEncoding::Kind::Utf8, false, target.lineBreak};
            break;
        case Prompts::LossChoice::SaveWithQuestionMarks:
            break;
        case Prompts::LossChoice::Cancel: {
            const qsizetype at = scan.characters.constFirst().position;
            pane.setSelection(at, at);
            pane.scrollCaret();
            return false;
        }
        }
    }
    return codec.SaveTextFile(pane, prompts, path, flag, target) == TextCodec::SaveResult::Saved;
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
    encoding = newDocumentEncoding;
    filePath.clear();
    fileTitle.clear();
    SetDocumentTitle(resString(Str::Untitled));
    modified = 0;
    settle();
    encodingMayHaveChanged();
}

bool FileCommands::openAsDocument(const QString& path)
{
    // A name the create prompt accepted does not exist yet: it becomes the document's name
    // although the load fails, so that Save creates it with the current text.
    const bool exists = QFileInfo::exists(path);
    const bool loaded = codec.LoadTextFile(pane, prompts, path, modified, encoding);
    if (!loaded && !exists)
        encoding = newDocumentEncoding;
    if (loaded || !exists) {
        filePath = path;
        fileTitle = displayName(path);
        SetDocumentTitle(fileTitle);
    }
    if (loaded)
        settle();
    encodingMayHaveChanged();
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
    const bool saved = saveGuarded(filePath, encoding, modified);
    SetDocumentTitle(fileTitle);
    if (saved)
        settle();
    encodingMayHaveChanged();
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
    const bool saved = saveGuarded(filePath, encoding, modified);
    SetDocumentTitle(fileTitle);
    if (saved)
        settle();
    encodingMayHaveChanged();
    return saved;
}

void FileCommands::ReopenWithEncoding(DocumentEncoding::Kind kind)
{
    if (filePath.isEmpty() || !QuerySaveChanges())
        return;
    if (codec.LoadTextFile(pane, prompts, filePath, modified, encoding, kind))
        settle();
    encodingMayHaveChanged();
}

void FileCommands::SetSaveEncoding(const DocumentEncoding& chosen)
{
    DocumentEncoding next = chosen;
    // UTF-16 keeps the byte order the file had.
    if (next.kind == DocumentEncoding::Kind::Utf16Le && encoding.kind == DocumentEncoding::Kind::Utf16Be)
        next.kind = DocumentEncoding::Kind::Utf16Be;
    // Only the code page has one fixed form of line break; the others keep the file's.
    next.lineBreak = next.kind == DocumentEncoding::Kind::ShiftJis ? DocumentEncoding::LineBreak::CrLf
                                                                   : encoding.lineBreak;
    if (next == encoding)
        return;
    encoding = next;
    modified = 1;
    encodingMayHaveChanged();
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

QString FileCommands::startupFile(const QStringList& arguments)
{
    QStringList files;
    GetCommandLineFiles(commandLineText(arguments), files);
    return files.isEmpty() ? QString() : files.constFirst();
}

void FileCommands::ChooseStartupDocument(const QStringList& arguments)
{
    titleSuffix = QStringLiteral("- ") + prompts.windowTitle();
    const QString file = startupFile(arguments);
    if (file.isEmpty()) {
        NewDocument();
        return;
    }
    // A file that passed the check but fails to load still becomes the document, like a
    // name taken in the Open dialog: the pane is still empty, and nothing is written unless
    // the user saves.
    filePath = file;
    fileTitle = displayName(filePath);
    codec.LoadTextFile(pane, prompts, filePath, modified, encoding);
    SetDocumentTitle(fileTitle);
    settle();
    encodingMayHaveChanged();
}
