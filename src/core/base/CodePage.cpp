#include "core/base/CodePage.h"
#include "core/base/IcuConverters.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

namespace {

UConverter* converter()
{
    thread_local std::unique_ptr<UConverter, IcuConverters::Closer> cnv = [] {
        UErrorCode err = U_ZERO_ERROR;
        UConverter* c = ucnv_open("windows-31j", &err);
        if (U_FAILURE(err) || !c)
            throw std::runtime_error("ICU has no windows-31j converter");
        ucnv_setFallback(c, false);
        ucnv_setSubstChars(c, "?", 1, &err);
        ucnv_setToUCallBack(c, IcuConverters::toUnicodeQuestionMark, nullptr, nullptr, nullptr, &err);
        if (U_FAILURE(err))
            throw std::runtime_error("cannot configure the windows-31j converter");
        return std::unique_ptr<UConverter, IcuConverters::Closer>(c);
    }();
    return cnv.get();
}

// ICU's table for this code page follows the IBM PC layout for three control codes
// (byte 0x1A is U+001C, 0x1C is U+007F, 0x7F is U+001A), where code page 932 maps them
// one to one. Left alone, a pasted U+001C would be saved as 0x1A, the byte that ends a
// document on reading, and everything after it would be lost at the next open.
char16_t toIcuControl(char16_t c)
{
    switch (c) {
    case 0x1A:
        return 0x1C;
    case 0x1C:
        return 0x7F;
    case 0x7F:
        return 0x1A;
    default:
        return c;
    }
}

char16_t fromIcuControl(char16_t c)
{
    switch (c) {
    case 0x1C:
        return 0x1A;
    case 0x7F:
        return 0x1C;
    case 0x1A:
        return 0x7F;
    default:
        return c;
    }
}

bool isSwappedControl(QChar c)
{
    return c == u'\x1A' || c == u'\x1C' || c == u'\x7F';
}

} // namespace

namespace CodePage {
void appendFromUnicode(QStringView text, QByteArray& out)
{
    if (text.isEmpty())
        return;
    UConverter* c = converter();
    ucnv_resetFromUnicode(c);
    QString mapped;
    if (std::any_of(text.begin(), text.end(), isSwappedControl)) {
        mapped = text.toString();
        for (QChar& ch : mapped)
            ch = QChar(toIcuControl(ch.unicode()));
        text = mapped;
    }
    // At most two bytes per UTF-16 code unit.
    IcuConverters::appendFromUnicode(c, text, out, 2);
}

qsizetype byteCount(QStringView text)
{
    if (text.isEmpty())
        return 0;
    UConverter* c = converter();
    ucnv_resetFromUnicode(c);
    char buffer[4096];
    qsizetype count = 0;
    const UChar* source = reinterpret_cast<const UChar*>(text.utf16());
    const UChar* sourceEnd = source + text.size();
    for (;;) {
        UErrorCode err = U_ZERO_ERROR;
        char* target = buffer;
        ucnv_fromUnicode(c, &target, buffer + sizeof buffer, &source, sourceEnd, nullptr, true, &err);
        count += target - buffer;
        if (err != U_BUFFER_OVERFLOW_ERROR)
            return count;
    }
}

QByteArray fromUnicode(QStringView text)
{
    QByteArray out;
    appendFromUnicode(text, out);
    return out;
}

QString toUnicode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    UConverter* c = converter();
    ucnv_resetToUnicode(c);
    // Never more UTF-16 units than bytes: a byte decodes to at most one unit here.
    QString out = IcuConverters::toUnicode(c, bytes, bytes.size());
    if (std::any_of(out.cbegin(), out.cend(), isSwappedControl))
        for (QChar& ch : out)
            ch = QChar(fromIcuControl(ch.unicode()));
    return out;
}
} // namespace CodePage
