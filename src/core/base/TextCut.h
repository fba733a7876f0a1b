#pragma once

#include <QStringView>

// The part of `text` that fits into `room` UTF-16 units, never ending inside a surrogate
// pair or between the CR and the LF of a line break. Every limit on a text's length cuts
// through this, so no limit leaves half a character behind.
QStringView fitToRoom(QStringView text, qsizetype room);
