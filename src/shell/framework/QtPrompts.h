#pragma once

#include "core/base/Prompts.h"

class QWidget;

// Prompts answered by the desktop: Qt message boxes and file dialogs, the system clipboard
// and browser, the main window's title.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* window) : window(window) {}

    Answer messageBox(const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> openFileName() override;
    std::optional<QString> saveFileName(const QString& proposedName) override;
    QDateTime localTime() override;
    bool setClipboardText(const QByteArray& cp932Text) override;
    bool setClipboardUnicodeText(const QString& text) override;
    LossChoice askCharacterLoss(const Encodings::UnrepresentableScan& scan,
                                const QString& encodingName) override;
    void openUrl(const QString& address) override;
    void setWindowTitle(const QString& title) override;
    QString windowTitle() const override;
    void beginWait() override;
    void endWait() override;

private:
    QWidget* window;
};

// The question before characters would be lost: the listed characters as informative text,
// the buttons "UTF-8 で保存", "「?」に置き換えて保存" and "キャンセル" (also Escape).
Prompts::LossChoice showCharacterLossBox(QWidget* parent, const Encodings::UnrepresentableScan& scan,
                                         const QString& encodingName);

// The message box of the program: caption "クモリアル", the icons and buttons of its rules.
Prompts::Answer showMessageBox(QWidget* parent, const QString& text, Prompts::Buttons buttons,
                               Prompts::Icon icon = Prompts::Icon::Default);
