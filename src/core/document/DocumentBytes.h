#pragma once

#include <QStringView>

// The encodings a document can be saved in.
enum class TextEncoding { ShiftJis };

// The bytes a save of `paneText` (line breaks as CR LF) writes in `encoding`, before any
// cut at the size limit: every line break two bytes, a CR that is not part of one none.
qsizetype savedByteCount(QStringView paneText, TextEncoding encoding = TextEncoding::ShiftJis);
