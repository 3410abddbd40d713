#pragma once
// Reading a graph image file for the image area.

#include <QImage>
#include <QSize>
#include <QString>
#include <variant>

namespace vastrel::shell {

struct ImageLoadFailure {
    QString reason;
};

// Images with more pixels than this are refused before they are decoded, so
// that a small file claiming a huge size cannot exhaust memory.
inline constexpr qint64 kMaxImagePixels = 50'000'000;

// Decodes the file by its content (JPEG, BMP, GIF, TIFF and whatever else Qt
// reads). Only the part that fits `visibleArea` is kept: the image is shown
// unscaled from its top-left corner, and nothing beyond the area is ever read.
std::variant<QImage, ImageLoadFailure> LoadPicture(const QString& path, QSize visibleArea);

}  // namespace vastrel::shell
