#pragma once

#include <QByteArray>
#include <QString>

// File helpers of the tests, benchmarks and fuzzers.
namespace TestSupport {
// The whole file, or "<unreadable>" when it cannot be read.
QByteArray readBytes(const QString& path);
// Writes the whole file; a failure fails the running test.
void writeBytes(const QString& path, const QByteArray& bytes);
// A file of tests/fixtures, by its path there ("codec/exact_limit.txt").
QString fixturePath(const QString& name);
QByteArray fixture(const QString& name);
// Repeatable noise (xorshift from `seed`).
QByteArray randomBytes(qsizetype size, quint32 seed = 2463534242u);
// Noise with some structure of a settings file in it: brackets, equals signs and line ends.
QByteArray settingsJunk(qsizetype size);
} // namespace TestSupport
