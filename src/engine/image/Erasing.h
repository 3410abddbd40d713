#pragma once
// Erasing part of the drawing area: what lies under a rectangle becomes white
// paper, so that a legend, a label or a tick mark there is no longer found
// by the scan.

#include <QImage>
#include <QPoint>
#include <QRect>

namespace vastrel::image {

// The rectangle between two corner pixels, both included, whichever corner
// comes first.
QRect rectangleBetween(QPoint corner, QPoint oppositeCorner);

// Paints `rectangle` (a valid one, as rectangleBetween gives), clipped to `area`, white; returns the part that was
// painted (empty when the rectangle lies wholly outside).
QRect eraseRectangle(QImage& area, QRect rectangle);

}  // namespace vastrel::image
