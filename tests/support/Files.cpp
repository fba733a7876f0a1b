#include "support/Files.h"

#include <QFile>
#include <QTest>

namespace TestSupport {
QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() || !f.flush())
        QTest::qFail(qPrintable(QStringLiteral("could not write %1: %2").arg(path, f.errorString())),
                     __FILE__, __LINE__);
}

QString fixturePath(const QString& name)
{
    return QStringLiteral(KUMORIAL_FIXTURES "/") + name;
}

QByteArray fixture(const QString& name)
{
    return readBytes(fixturePath(name));
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray b(size, '\0');
    quint32 x = seed ? seed : 1;
    for (qsizetype i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b[i] = char(x);
    }
    return b;
}

QByteArray settingsJunk(qsizetype size)
{
    QByteArray b = randomBytes(size, 7);
    for (qsizetype i = 0; i < size; i += 997)
        b[i] = "[]=\n\r"[i % 5];
    return b;
}
} // namespace TestSupport
