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

// A file: URL naming another computer, which this program cannot open.
struct OtherComputersFile {
    QString url;
    QString host;
};

struct NoImage {};

using ImageSource = std::variant<NoImage, ImageFile, ImageBytes, OtherComputersFile>;

// The first local file among the data's URLs (file:///path, or
// file://localhost/path); failing that, the image bytes of the first format
// in the order PNG, BMP, JPEG, GIF, TIFF, then any other image format the
// data offers; failing that, a file: URL of another computer; failing that,
// NoImage.
ImageSource imageSourceOf(const QMimeData& data);

// Whether imageSourceOf would find anything, without fetching image bytes.
bool offersImage(const QMimeData& data);

}  // namespace vastrel::image
