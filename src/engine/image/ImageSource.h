#pragma once
// Where an image that is dropped on the window or pasted into it comes from:
// a file on this machine (a file manager's drag or copy), or image bytes in
// some format (a browser, a PDF viewer, a screenshot tool). The bytes are
// handed on undecoded, so that they meet the same limits as a file does.

#include <QByteArray>
#include <QMimeData>
#include <QString>
#include <variant>

namespace vastrel::image {

struct ImageFile {
    QString path;
};

struct ImageBytes {
    QByteArray bytes;
    QString mimeType;
};

struct NoImage {};

using ImageSource = std::variant<NoImage, ImageFile, ImageBytes>;

// The first local file among the data's URLs; failing that, the image bytes
// of the first format in the order PNG, BMP, JPEG, GIF, TIFF, then any other
// image format the data offers; failing that, NoImage.
ImageSource imageSourceOf(const QMimeData& data);

// Whether imageSourceOf would find anything, without fetching image bytes.
bool offersImage(const QMimeData& data);

}  // namespace vastrel::image
