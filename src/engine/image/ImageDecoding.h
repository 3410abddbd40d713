#pragma once
// Reading a graph image file for the image area.

#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QString>
#include <variant>

namespace vastrel::image {

struct ImageLoadFailure {
    QString reason;
};

// Images with more pixels than this are refused before they are decoded, so
// that a small file claiming a huge size cannot exhaust memory.
inline constexpr qint64 kMaxImagePixels = 50'000'000;

// The whole file is read to check that it holds its picture to the end; no
// picture the image area can show comes near this size.
inline constexpr qint64 kMaxImageFileBytes = qint64(1) << 30;

// A progressive JPEG is decoded by passing over the whole picture once per
// scan, so a small file of thousands of scans would keep the decoder busy for
// minutes. Real pictures have a dozen at most.
inline constexpr int kMaxJpegScans = 100;

// Decodes the file by its content (JPEG, BMP, GIF, TIFF and whatever else Qt
// reads); a file cut off or damaged part-way is refused. Only the part that
// fits `visibleArea` is kept: the image is shown unscaled from its top-left
// corner, and nothing beyond the area is ever read.
std::variant<QImage, ImageLoadFailure> LoadPicture(const QString& path, QSize visibleArea);

// About how many bytes LoadPicture of `path` takes at its peak: the file,
// read whole, and the decoded picture twice over (as decoded, and converted),
// the picture's size read from the file's header.
qint64 decodingFootprint(const QString& path);

// The decoding of LoadPicture from an open, readable, random-access device,
// for image bytes that do not come from a file of their own. Safe to call
// from several threads at once, each with its own device.
std::variant<QImage, ImageLoadFailure> decodePicture(QIODevice& device, QSize visibleArea);

}  // namespace vastrel::image
