#pragma once

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
} // namespace IcuConverters
