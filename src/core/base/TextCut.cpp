#include "core/base/TextCut.h"

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
