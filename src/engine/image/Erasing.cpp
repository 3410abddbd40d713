#include "engine/image/Erasing.h"

#include <QPainter>
#include <algorithm>

namespace vastrel::image {

QRect rectangleBetween(QPoint corner, QPoint oppositeCorner)
{
    // Not QRect::normalized(): it moves the edges of a rectangle given
    // bottom-right first by a pixel.
    return QRect(QPoint(std::min(corner.x(), oppositeCorner.x()), std::min(corner.y(), oppositeCorner.y())),
                 QPoint(std::max(corner.x(), oppositeCorner.x()), std::max(corner.y(), oppositeCorner.y())));
}

QRect eraseRectangle(QImage& area, QRect rectangle)
{
    const QRect painted = rectangle.intersected(area.rect());
    if (painted.isEmpty()) return {};
    QPainter painter(&area);
    painter.fillRect(painted, Qt::white);
    return painted;
}

}  // namespace vastrel::image
