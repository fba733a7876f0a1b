#include "view/EditPane.h"

EditPane::~EditPane() = default;

QStringView fitToRoom(QStringView text, qsizetype room)
{
    if (room <= 0)
        return {};
    if (text.size() <= room)
        return text;
    qsizetype n = room;
    if (text[n - 1].isHighSurrogate() || (text[n - 1] == u'\r' && text[n] == u'\n'))
        --n;
    return text.first(n);
}

QString withPaneLineBreaks(const QString& text)
{
    if (!text.contains(u'\n'))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            out += u'\r';
        out += text[i];
    }
    return out;
}
