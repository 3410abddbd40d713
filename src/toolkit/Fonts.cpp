#include "toolkit/Fonts.h"

#include "toolkit/LayoutStyle.h"

#include <QStringList>
#include <cmath>

namespace vastrel::tk {

void installFontSubstitutes()
{
    const QStringList japaneseSans = {"Noto Sans CJK JP", "Noto Sans JP", "IPAPGothic", "VL PGothic", "Sans Serif"};
    const QStringList japaneseMono = {"Noto Sans Mono CJK JP", "Noto Sans CJK JP", "IPAGothic", "Monospace"};
    QFont::insertSubstitutions(style::kMeiryo, japaneseSans);
    QFont::insertSubstitutions(style::kPGothic, japaneseSans);
    QFont::insertSubstitutions(style::kRoundGothic, japaneseSans);
    QFont::insertSubstitutions(style::kGothic, japaneseMono);
    QFont::insertSubstitutions(style::kTimes, {"Liberation Serif", "Tinos", "DejaVu Serif", "Serif"});
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
