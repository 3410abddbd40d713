#pragma once
// Whether an image file holds the whole of its picture. Decoders fill what a
// cut-off or damaged file lacks (JPEG with grey, GIF and BMP with whatever
// the buffer held) and report success, so the picture would look plausible
// and the scan would take the filler for the curve.

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace vastrel::image {

enum class DataFault {
    EndsEarly,  // the data stops before the picture's end
    Damaged,    // the data breaks the rules of its format part-way
};

struct ImageDataFault {
    QString format;  // "JPEG", "PNG", "GIF", "BMP" or "TIFF"
    DataFault fault;
};

// Walks a JPEG, PNG, GIF, BMP or TIFF file from its first byte to the end of
// its picture. Bytes after that end are never looked at, so a whole file with
// something appended passes; so does any other format.
std::optional<ImageDataFault> findDataFault(QByteArrayView bytes);

// The reason shown to the user for a refused file.
QString dataFaultReason(const ImageDataFault& fault);

}  // namespace vastrel::image
