#pragma once

#include <QString>

// Qt guesses rich text from a leading tag and reads "[*]" in a window title as the
// modified mark; user texts (file and format names, search texts) must show as typed.
namespace PlainText {

// A tooltip that shows `text` literally: text Qt would take for HTML is turned into HTML
// that renders as the text itself.
QString toolTip(const QString& text);

// The window title to set so that Qt shows `title` literally, and back.
QString windowTitle(const QString& title);
QString fromWindowTitle(const QString& escaped);

} // namespace PlainText
