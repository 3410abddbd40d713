#pragma once
// The image area's drawing surface as the scan reads it: the picture shown
// unscaled from the top-left corner on the area's light grey background.
// The windows and the command line both build it here, so that they read the
// same pixels.

#include "engine/image/PixelView.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace vastrel::image {

// The drawing area inside the main window's image box: 1000 x 800 pixels of
// usable image and a small margin, inside the box's border.
inline constexpr QSize kDrawingAreaSize(1005, 805);
inline constexpr QRgb kDrawingAreaBackground = 0xFFC0C0C0u;

// `picture` (any format, transparency included) drawn at (0, 0) over
// `background`, as an opaque RGB32 image of `area`.
QImage composeDrawingArea(const QImage& picture, QSize area = kDrawingAreaSize,
                          QRgb background = kDrawingAreaBackground);

// The same drawn into `surface`, which is made an RGB32 image of `area` only
// when it is not one already: a batch of pictures reuses one surface instead
// of having a fresh one's memory handed over, page by page, for every picture.
void composeDrawingAreaInto(QImage& surface, const QImage& picture, QSize area = kDrawingAreaSize,
                            QRgb background = kDrawingAreaBackground);

// The pixels of an RGB32 (or ARGB32) image for the scan.
PixelView pixelViewOf(const QImage& image);

}  // namespace vastrel::image
