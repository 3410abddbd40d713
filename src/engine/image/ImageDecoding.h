#pragma once
// Reading a graph image file for the image area.

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <variant>

namespace vastrel::image {

struct ImageLoadFailure {
    QString reason;
    // The picture is sound but its decoding did not get the memory it needs:
    // worth another try when less else is being held.
    bool outOfMemory = false;
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

// Opens the file whose name is `path` in the file system's own bytes, for
// reading. Only a regular file is opened: a FIFO, a device or a folder is
// refused without waiting for it, so that nothing can keep the reader busy.
std::variant<std::unique_ptr<QFile>, ImageLoadFailure> openImageFile(const QByteArray& path);

// About how many bytes decoding the open image file takes at its peak: the
// file, read whole, and the decoded picture twice over (as decoded, and
// converted), the picture's size read from the file's header. The device's
// position is kept.
qint64 decodingFootprint(QIODevice& file);

// The decoding of LoadPicture from an open, readable, random-access device,
// for image bytes that do not come from a file of their own. Safe to call
// from several threads at once, each with its own device. A shortage of
// memory is reported as such (never as damage), and never thrown.
std::variant<QImage, ImageLoadFailure> decodePicture(QIODevice& device, QSize visibleArea);

}  // namespace vastrel::image
