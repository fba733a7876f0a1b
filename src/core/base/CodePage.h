#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows code page 932 (Shift_JIS with the Windows extensions), the code page of
// documents and of the clipboard text.
//
// Encoding: a character the code page lacks becomes "?" (0x3F); no best-fit fallbacks.
// Decoding: every ill-formed or unassigned byte sequence becomes one "?", the same
// character that unmappable text encodes to, so decoding, encoding and decoding again
// gives the text of the first decoding. Decoding never fails.
namespace CodePage {
QByteArray fromUnicode(QStringView text);
QString toUnicode(QByteArrayView bytes);

// Appends the conversion to `out` without intermediate copies.
void appendFromUnicode(QStringView text, QByteArray& out);

// The length of fromUnicode(text), counted without building it.
qsizetype byteCount(QStringView text);
} // namespace CodePage
