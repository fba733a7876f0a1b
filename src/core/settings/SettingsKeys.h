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

// `prefix`, a two-digit number counted from `first`, then one of `parts` if any: each
// number takes every part in turn. Built once per list.
template <size_t N> std::array<QString, N> numberedNames(QStringView prefix, int first, QStringView parts)
{
    const qsizetype per = parts.isEmpty() ? 1 : parts.size();
    std::array<QString, N> names;
    for (size_t i = 0; i < N; ++i)
        names[i] = QStringLiteral("%1%2%3")
                       .arg(prefix)
                       .arg(int(qsizetype(i) / per) + first, 2, 10, QChar(u'0'))
                       .arg(parts.isEmpty() ? QStringView() : parts.sliced(qsizetype(i) % per, 1));
    return names;
}

// Word00 .. Word09
inline const QString& word(int index)
{
    static const auto names = numberedNames<10>(u"Word", 0, {});
    return names.at(index);
}
// Base01b / Base01e .. Base15e
inline const QString& base(int number, bool end)
{
    static const auto names = numberedNames<30>(u"Base", 1, u"be");
    return names.at((number - 1) * 2 + (end ? 1 : 0));
}
// User01n / User01b / User01e .. User10e; part is 'n', 'b' or 'e'
inline const QString& user(int number, char16_t part)
{
    static const auto names = numberedNames<30>(u"User", 1, u"nbe");
    return names.at((number - 1) * 3 + (part == u'n' ? 0 : part == u'b' ? 1 : 2));
}
} // namespace Keys
