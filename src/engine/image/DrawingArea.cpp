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
    const QRect covered = picture.rect().intersected(surface.rect());
    if (picture.hasAlphaChannel() || covered.isEmpty()) {
        surface.fill(background);
    } else {
        // An opaque picture replaces every pixel it covers: only the strips
        // right of and below it show the background.
        QPainter painter(&surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRect(covered.right() + 1, 0, surface.width() - covered.width(), surface.height()),
                         QColor::fromRgb(background));
        painter.fillRect(QRect(0, covered.bottom() + 1, covered.width(), surface.height() - covered.height()),
                         QColor::fromRgb(background));
    }
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
