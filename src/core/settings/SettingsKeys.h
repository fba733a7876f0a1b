#pragma once

#include "core/res/Strings.h"

#include <QString>

// Every settings key, named once.
namespace Keys {
inline QString section(int stringId)
{
    return resString(stringId);
}

inline const QString WebPage = QStringLiteral("WebPage");
inline const QString Transparency = QStringLiteral("Transparency");
inline const QString Face = QStringLiteral("Face");
inline const QString Size = QStringLiteral("Size");
inline const QString DonationsLink = QStringLiteral("DonationsLink");
inline const QString Left = QStringLiteral("Left");
inline const QString Top = QStringLiteral("Top");
inline const QString Right = QStringLiteral("Right");
inline const QString Bottom = QStringLiteral("Bottom");
inline const QString MostTopWindow = QStringLiteral("MostTopWindow");
// Section Recovery, seconds; read only, so that a file without them stays as it is.
inline const QString RecoveryPause = QStringLiteral("Pause");
inline const QString RecoveryInterval = QStringLiteral("Interval");
// In the section Str::SectionEncoding.
inline const QString NewDocumentEncoding = QStringLiteral("NewDocument");

// Word00 .. Word09
inline QString word(int index)
{
    return QStringLiteral("Word%1").arg(index, 2, 10, QChar(u'0'));
}
// Base01b / Base01e .. Base15e
inline QString base(int number, bool end)
{
    return QStringLiteral("Base%1%2").arg(number, 2, 10, QChar(u'0')).arg(QChar(end ? u'e' : u'b'));
}
// User01n / User01b / User01e .. User10e; part is 'n', 'b' or 'e'
inline QString user(int number, char16_t part)
{
    return QStringLiteral("User%1%2").arg(number, 2, 10, QChar(u'0')).arg(QChar(part));
}
} // namespace Keys
