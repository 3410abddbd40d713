#include "toolkit/Fonts.h"

#include <QStringList>
#include <cmath>

namespace vastrel::tk {

void installFontSubstitutes()
{
    const QStringList japaneseSans = {"Noto Sans CJK JP", "Noto Sans JP", "IPAPGothic", "VL PGothic", "Sans Serif"};
    const QStringList japaneseMono = {"Noto Sans Mono CJK JP", "Noto Sans CJK JP", "IPAGothic", "Monospace"};
    QFont::insertSubstitutions(QStringLiteral("メイリオ"), japaneseSans);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), japaneseSans);
    QFont::insertSubstitutions(QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"), japaneseSans);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), japaneseMono);
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), {"Liberation Serif", "Tinos", "DejaVu Serif", "Serif"});
}

QFont layoutFont(const QString& family, double points, bool italic)
{
    QFont font(family);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setItalic(italic);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace vastrel::tk
