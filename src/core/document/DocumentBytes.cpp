#include "core/document/DocumentBytes.h"

#include "core/base/CodePage.h"

namespace {
// A save writes every LF as CR LF and skips every CR, so only line breaks reach the file.
qsizetype lineEndAdjustment(QStringView text)
{
    qsizetype adjust = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            --adjust;
        else if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            ++adjust;
    }
    return adjust;
}
} // namespace

qsizetype savedByteCount(QStringView paneText, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::ShiftJis:
        // CR and LF are one byte each in the code page.
        return CodePage::byteCount(paneText) + lineEndAdjustment(paneText);
    }
    return 0;
}
