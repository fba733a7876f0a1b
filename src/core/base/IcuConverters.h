#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

// What the code page and the other document encodings share of ICU's converters.
namespace IcuConverters {
// Bytes that are ill-formed or have no character read as one "?" each.
inline void U_CALLCONV toUnicodeQuestionMark(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                                             UConverterCallbackReason reason, UErrorCode* err)
{
    if (reason > UCNV_IRREGULAR)
        return;
    *err = U_ZERO_ERROR;
    const UChar q = u'?';
    ucnv_cbToUWriteUChars(args, &q, 1, 0, err);
}

struct Closer {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
// Appends `text` converted by `c` to `out`, starting from room for `bytesPerUnit` bytes a
// UTF-16 code unit and growing as the converter asks.
inline void appendFromUnicode(UConverter* c, QStringView text, QByteArray& out, qsizetype bytesPerUnit)
{
    const qsizetype base = out.size();
    out.resize(base + text.size() * bytesPerUnit);
    char* target = out.data() + base;
    const UChar* source = reinterpret_cast<const UChar*>(text.utf16());
    const UChar* sourceEnd = source + text.size();
    for (;;) {
        UErrorCode err = U_ZERO_ERROR;
        ucnv_fromUnicode(c, &target, out.data() + out.size(), &source, sourceEnd, nullptr, true, &err);
        if (err != U_BUFFER_OVERFLOW_ERROR)
            break;
        const qsizetype used = target - out.data();
        out.resize(out.size() * 2);
        target = out.data() + used;
    }
    out.resize(target - out.data());
}

// `bytes` converted by `c`, starting from room for `initialUnits` UTF-16 code units and
// growing as the converter asks.
inline QString toUnicode(UConverter* c, QByteArrayView bytes, qsizetype initialUnits)
{
    QString out(initialUnits, Qt::Uninitialized);
    UChar* begin = reinterpret_cast<UChar*>(out.data());
    UChar* target = begin;
    const char* source = bytes.data();
    const char* sourceEnd = source + bytes.size();
    for (;;) {
        UErrorCode err = U_ZERO_ERROR;
        ucnv_toUnicode(c, &target, begin + out.size(), &source, sourceEnd, nullptr, true, &err);
        if (err != U_BUFFER_OVERFLOW_ERROR)
            break;
        const qsizetype used = target - begin;
        out.resize(out.size() * 2);
        begin = reinterpret_cast<UChar*>(out.data());
        target = begin + used;
    }
    out.resize(target - begin);
    return out;
}
} // namespace IcuConverters
