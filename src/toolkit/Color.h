#pragma once
// Colours as the program's layouts give them: &H00BBGGRR, red in the low byte.

#include <QColor>
#include <cstdint>

namespace vastrel::tk {

using ColorValue = std::int32_t;

inline QColor toQColor(ColorValue bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline ColorValue fromQRgb(QRgb rgb)
{
    return static_cast<ColorValue>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

// The classic 16-colour palette; entry 12 is full red.
ColorValue QBColor(int index);

}  // namespace vastrel::tk
