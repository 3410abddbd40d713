#include "engine/image/DrawingArea.h"

#include <QPainter>

namespace vastrel::image {

QImage composeDrawingArea(const QImage& picture, QSize area, QRgb background)
{
    QImage surface;
    composeDrawingAreaInto(surface, picture, area, background);
    return surface;
}

void composeDrawingAreaInto(QImage& surface, const QImage& picture, QSize area, QRgb background)
{
    if (surface.size() != area || surface.format() != QImage::Format_RGB32)
        surface = QImage(area, QImage::Format_RGB32);
    surface.fill(background);
    if (!picture.isNull()) {
        QPainter painter(&surface);
        painter.drawImage(0, 0, picture);
    }
}

PixelView pixelViewOf(const QImage& image)
{
    return {reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(), image.height(),
            static_cast<std::ptrdiff_t>(image.bytesPerLine() / 4)};
}

}  // namespace vastrel::image
