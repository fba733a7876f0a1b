#include "framework/QtPrompts.h"

#include "document/CodePage.h"
#include "document/Encoding.h"
#include "res/Strings.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

Prompts::Answer showMessageBox(QWidget* parent, const QString& text, Prompts::Buttons buttons,
                               Prompts::Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(resString(Str::AppTitle));
    box.setText(text);
    switch (buttons) {
    case Prompts::Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Prompts::Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Prompts::Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (icon == Prompts::Icon::Information)
        box.setIcon(QMessageBox::Information);
    else
        box.setIcon(buttons == Prompts::Buttons::YesNoCancel ? QMessageBox::Question : QMessageBox::Warning);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Prompts::Answer::Ok;
    case QMessageBox::Yes:
        return Prompts::Answer::Yes;
    case QMessageBox::No:
        return Prompts::Answer::No;
    default:
        return Prompts::Answer::Cancel;
    }
}

Prompts::Answer QtPrompts::messageBox(const QString& text, Buttons buttons, Icon icon)
{
    return showMessageBox(window, text, buttons, icon);
}

namespace {
// "name|pattern|name|pattern|" as Qt's "name (pattern);;..." list.
QString qtFilter()
{
    const QStringList parts = resString(Str::FileFilter).split(u'|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(parts[i]);
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& name)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    // Open takes names that do not exist yet too: the create prompt asks about them.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(qtFilter());
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
} // namespace

std::optional<QString> QtPrompts::openFileName()
{
    // The create prompt: a name that does not exist is taken only after Yes; No goes back
    // to the dialog.
    for (;;) {
        const std::optional<QString> path =
            runFileDialog(window, QFileDialog::AcceptOpen, QStringLiteral("*.txt"));
        if (!path || QFileInfo::exists(*path))
            return path;
        QMessageBox box(QMessageBox::Warning, resString(Str::AppTitle),
                        resString(Str::CreatePrompt).arg(QFileInfo(*path).fileName()),
                        QMessageBox::Yes | QMessageBox::No, window);
        if (box.exec() == QMessageBox::Yes)
            return path;
    }
}

std::optional<QString> QtPrompts::saveFileName(const QString& proposedName)
{
    return runFileDialog(window, QFileDialog::AcceptSave, proposedName);
}

QDateTime QtPrompts::localTime()
{
    return QDateTime::currentDateTime();
}

bool QtPrompts::setClipboardText(const QByteArray& cp932Text)
{
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard)
        return false;
    auto* data = new QMimeData;
    data->setText(CodePage::toUnicode(cp932Text));
    data->setData(QStringLiteral("text/plain;charset=Shift_JIS"), cp932Text);
    clipboard->setMimeData(data);
    return true;
}

bool QtPrompts::setClipboardUnicodeText(const QString& text)
{
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text);
    return true;
}

Prompts::LossChoice showCharacterLossBox(QWidget* parent, const Encodings::UnrepresentableScan& scan,
                                         const QString& encodingName)
{
    QMessageBox box(parent);
    box.setWindowTitle(resString(Str::AppTitle));
    box.setIcon(QMessageBox::Warning);
    box.setText(resString(Str::LossIntro).arg(encodingName));
    QStringList lines;
    for (const Encodings::Unrepresentable& u : scan.characters)
        lines << resString(Str::LossLine)
                     .arg(QString::fromUcs4(&u.codePoint, 1), Encodings::codePointName(u.codePoint))
                     .arg(u.count)
                     .arg(u.line)
                     .arg(u.column);
    if (scan.moreDistinct > 0)
        lines << resString(Str::LossMore).arg(scan.moreDistinct);
    box.setInformativeText(lines.join(u'\n'));
    QPushButton* utf8 = box.addButton(resString(Str::LossSaveUtf8), QMessageBox::AcceptRole);
    QPushButton* questionMarks =
        box.addButton(resString(Str::LossSaveQuestionMarks), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(resString(Str::CancelButton), QMessageBox::RejectRole);
    box.setDefaultButton(utf8);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == utf8)
        return Prompts::LossChoice::SaveAsUtf8;
    if (box.clickedButton() == questionMarks)
        return Prompts::LossChoice::SaveWithQuestionMarks;
    return Prompts::LossChoice::Cancel;
}

Prompts::LossChoice QtPrompts::askCharacterLoss(const Encodings::UnrepresentableScan& scan,
                                                const QString& encodingName)
{
    return showCharacterLossBox(window, scan, encodingName);
}

void QtPrompts::openUrl(const QString& address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void QtPrompts::setWindowTitle(const QString& title)
{
    if (window)
        window->setWindowTitle(title);
}

QString QtPrompts::windowTitle() const
{
    return window ? window->windowTitle() : QString();
}

void QtPrompts::beginWait()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtPrompts::endWait()
{
    QApplication::restoreOverrideCursor();
}
