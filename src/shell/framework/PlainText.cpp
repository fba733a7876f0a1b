#include "shell/framework/PlainText.h"

#include <QTextDocument>

namespace PlainText {

QString toolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
}

QString windowTitle(const QString& title)
{
    // Qt drops the last "[*]" of every run of odd length, then shows "[*][*]" as "[*]".
    QString escaped = title;
    return escaped.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

QString fromWindowTitle(const QString& escaped)
{
    QString title = escaped;
    return title.replace(QStringLiteral("[*][*]"), QStringLiteral("[*]"));
}

} // namespace PlainText
