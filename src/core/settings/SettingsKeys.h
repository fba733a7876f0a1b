#pragma once

#include "core/res/Strings.h"

#include <QString>
#include <array>

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
inline const QString& word(int index)
{
    static const std::array<QString, 10> names = [] {
        std::array<QString, 10> n;
        for (int i = 0; i < int(n.size()); ++i)
            n[i] = QStringLiteral("Word%1").arg(i, 2, 10, QChar(u'0'));
        return n;
    }();
    return names.at(index);
}
// Base01b / Base01e .. Base15e
inline const QString& base(int number, bool end)
{
    static const std::array<QString, 30> names = [] {
        std::array<QString, 30> n;
        for (int i = 0; i < int(n.size()); ++i)
            n[i] =
                QStringLiteral("Base%1%2").arg(i / 2 + 1, 2, 10, QChar(u'0')).arg(QChar(i % 2 ? u'e' : u'b'));
        return n;
    }();
    return names.at((number - 1) * 2 + (end ? 1 : 0));
}
// User01n / User01b / User01e .. User10e; part is 'n', 'b' or 'e'
inline const QString& user(int number, char16_t part)
{
    static constexpr char16_t parts[] = u"nbe";
    static const std::array<QString, 30> names = [] {
        std::array<QString, 30> n;
        for (int i = 0; i < int(n.size()); ++i)
            n[i] = QStringLiteral("User%1%2").arg(i / 3 + 1, 2, 10, QChar(u'0')).arg(QChar(parts[i % 3]));
        return n;
    }();
    return names.at((number - 1) * 3 + (part == u'n' ? 0 : part == u'b' ? 1 : 2));
}
} // namespace Keys
