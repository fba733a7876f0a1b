#include "core/base/EditPane.h"
#include "core/base/Prompts.h"
#include "core/document/FileCommands.h"
#include "core/res/Strings.h"
#include "core/search/Search.h"

#include <QDir>

QString FileCommands::GetTemplatePath() const
{
    return QDir(templateFolder).filePath(QStringLiteral("Kumorial.tmp"));
}

std::array<std::pair<QString, QString>, 5> FileCommands::placeholderValues(const QDateTime& time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    const auto two = [](int v) { return QString::asprintf("%02d", v); };
    return {{{QStringLiteral("%Y"), QString::asprintf("%04d", d.year())},
             {QStringLiteral("%M"), two(d.month())},
             {QStringLiteral("%D"), two(d.day())},
             {QStringLiteral("%h"), two(t.hour())},
             {QStringLiteral("%m"), two(t.minute())}}};
}

void FileCommands::SaveAsTemplate()
{
    const QString path = GetTemplatePath();
    if (TextCodec::FileCanBeRead(path) &&
        prompts.messageBox(resString(Str::TemplateExists), Prompts::Buttons::OkCancel) != Prompts::Answer::Ok)
        return;
    // The document itself was not saved: its flag stays, so closing still asks.
    int templateFlag = modified;
    DocumentEncoding templateEncoding = newDocumentEncoding;
    saveGuarded(path, templateEncoding, templateFlag);
}

void FileCommands::ApplyTemplate()
{
    const QString path = GetTemplatePath();
    if (!TextCodec::FileCanBeRead(path)) {
        pane.setText(QString());
        return;
    }
    // A template saved in UTF-8 (for characters the code page lacks) is found out here.
    DocumentEncoding found;
    codec.LoadTextFile(pane, prompts, path, modified, found);
    // One reading of the clock for all five values.
    for (const auto& [placeholder, value] : placeholderValues(prompts.localTime()))
        ReplaceAllFromTop(pane, prompts, placeholder, value);
}
