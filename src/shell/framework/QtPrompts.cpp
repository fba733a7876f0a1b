#include "shell/framework/QtPrompts.h"

#include "core/base/CodePage.h"
#include "core/document/Encoding.h"
#include "core/res/Strings.h"
#include "shell/framework/PlainText.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

Prompts::Answer showMessageBox(QWidget* parent, const QString& text, Prompts::Buttons buttons,
                               Prompts::Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(resString(Str::AppTitle));
    box.setTextFormat(Qt::PlainText);
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
    case Prompts::Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    if (icon == Prompts::Icon::Information)
        box.setIcon(QMessageBox::Information);
    else
        box.setIcon(buttons == Prompts::Buttons::YesNoCancel || buttons == Prompts::Buttons::YesNo
                        ? QMessageBox::Question
                        : QMessageBox::Warning);
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
struct FileFilter {
    QString name;    // as the filter list shows it
    QString pattern; // as the file list applies it
};

// "name|pattern|name|pattern|" from the string table. Patterns keep the desktop's meaning:
// "*.*" is every file, names without a dot included.
QList<FileFilter> fileFilters()
{
    const QStringList parts = resString(Str::FileFilter).split(u'|', Qt::SkipEmptyParts);
    QList<FileFilter> filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p.trimmed() == QStringLiteral("*.*"))
                p = QStringLiteral("*");
        filters.append({parts[i], patterns.join(u' ')});
    }
    return filters;
}

bool isPattern(const QString& name)
{
    return name.contains(u'*') || name.contains(u'?');
}

// The file dialog with the desktop's rules for the name field: a pattern typed there filters
// the list and is never taken as a name, and Open takes an existing file as it is named,
// adding the default extension only to a name that does not exist.
class FileNameDialog final : public QFileDialog {
public:
    FileNameDialog(QWidget* parent, AcceptMode mode) : QFileDialog(parent)
    {
        setAcceptMode(mode);
        // Open takes names that do not exist yet too: the create prompt asks about them.
        setFileMode(QFileDialog::AnyFile);
        setOption(QFileDialog::DontUseNativeDialog, true);
        const QList<FileFilter> filters = fileFilters();
        QStringList qtFilters;
        for (const FileFilter& f : filters)
            qtFilters << QStringLiteral("%1 (%2)").arg(f.name, f.pattern);
        setNameFilters(qtFilters);
        // The list shows the names of the string table; the patterns above stay in force.
        if (auto* combo = findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            for (int i = 0; i < combo->count() && i < filters.size(); ++i)
                combo->setItemText(i, filters[i].name);
        setDefaultSuffix(DefaultSuffix);
    }

    void accept() override
    {
        auto* nameField = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = nameField ? nameField->text().trimmed() : QString();
        if (isPattern(typed)) {
            if (auto* model = findChild<QFileSystemModel*>())
                model->setNameFilters(
                    typed.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts));
            return;
        }
        const bool existingFile =
            acceptMode() == AcceptOpen && !typed.isEmpty() && QFileInfo(directory().filePath(typed)).isFile();
        setDefaultSuffix(existingFile ? QString() : DefaultSuffix);
        QFileDialog::accept();
    }

private:
    inline static const QString DefaultSuffix = QStringLiteral("txt");
};

std::optional<QString> runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& name)
{
    FileNameDialog dialog(parent, mode);
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
        box.setTextFormat(Qt::PlainText);
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
        window->setWindowTitle(PlainText::windowTitle(title));
}

QString QtPrompts::windowTitle() const
{
    return window ? PlainText::fromWindowTitle(window->windowTitle()) : QString();
}

void QtPrompts::beginWait()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtPrompts::endWait()
{
    QApplication::restoreOverrideCursor();
}
