#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace Encodings {
struct UnrepresentableScan;
}

// What the program's rules ask of the desktop: the shell answers, tests script the answers.
class Prompts {
public:
    // YesNo has Yes as its default button; closing the box answers No.
    enum class Buttons { Ok, OkCancel, YesNoCancel, YesNo };
    // Default: the exclamation icon for Ok and OkCancel, the question mark for the others.
    enum class Icon { Default, Information };
    enum class Answer { Ok, Cancel, Yes, No };
    // The answers to the list of characters a save would lose.
    enum class LossChoice { SaveAsUtf8, SaveWithQuestionMarks, Cancel };

    virtual ~Prompts() = default;

    // A modal box with the application title as caption.
    virtual Answer messageBox(const QString& text, Buttons buttons, Icon icon = Icon::Default) = 0;
    // The Open dialog (create prompt); the full path chosen, or nothing after Cancel.
    virtual std::optional<QString> openFileName() = 0;
    // The Save As dialog (overwrite prompt) proposing `proposedName`.
    virtual std::optional<QString> saveFileName(const QString& proposedName) = 0;
    virtual QDateTime localTime() = 0;
    // Before a save in `encodingName` would write the characters of `scan` as "?". Nobody
    // there to answer means nothing is written.
    virtual LossChoice askCharacterLoss(const Encodings::UnrepresentableScan& scan,
                                        const QString& encodingName)
    {
        (void)scan;
        (void)encodingName;
        return LossChoice::Cancel;
    }
    // Puts code page 932 text on the clipboard; false when the clipboard could not be had.
    virtual bool setClipboardText(const QByteArray& cp932Text) = 0;
    // Puts text on the clipboard as it stands; false when the clipboard could not be had.
    virtual bool setClipboardUnicodeText(const QString& text)
    {
        (void)text;
        return false;
    }
    virtual void openUrl(const QString& address) = 0;
    virtual void setWindowTitle(const QString& title) = 0;
    virtual QString windowTitle() const = 0;
    // The wait cursor, shown between the two calls.
    virtual void beginWait() {}
    virtual void endWait() {}
};

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
public:
    explicit WaitCursor(Prompts& p) : prompts(p) { prompts.beginWait(); }
    ~WaitCursor() { prompts.endWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Prompts& prompts;
};
