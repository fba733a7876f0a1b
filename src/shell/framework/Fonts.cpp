#include "shell/framework/Fonts.h"

#include <QFont>
#include <QStringList>

void registerFontSubstitutes()
{
    const QStringList gothic = {QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                                QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic"),
                                QStringLiteral("TakaoGothic")};
    const QStringList pGothic = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                                 QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                                 QStringLiteral("TakaoPGothic")};
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), gothic);
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), gothic);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), pGothic);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), pGothic);
}
