#include "core/base/EditPane.h"

EditPane::~EditPane() = default;

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
