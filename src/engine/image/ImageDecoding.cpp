#include "engine/image/ImageDecoding.h"

#include "engine/image/ImageDataCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <optional>

namespace vastrel::image {

namespace {

bool startsAsJpeg(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView("\xFF\xD8", 2));
}

// Whether the JPEG data holds more start-of-scan markers (FF DA) than
// `limit`. Entropy-coded data never holds FF DA (a data byte FF is followed
// by 00 or a restart marker), so only an embedded thumbnail can add to the
// count.
bool hasMoreScansThan(QByteArrayView bytes, int limit)
{
    int scans = 0;
    bool afterFF = false;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (afterFF && byte == 0xDA && ++scans > limit) return true;
        afterFF = byte == 0xFF;
    }
    return false;
}

// The bytes from the device's position to its end; the position is kept.
std::optional<QByteArray> bytesAhead(QIODevice& device)
{
    const qint64 start = device.pos();
    if (device.size() - start > kMaxImageFileBytes) return std::nullopt;
    QByteArray bytes = device.readAll();
    device.seek(start);
    return bytes;
}

// The decoders' allocation limit is process-wide: set once, before the first
// decoding, so that threads decoding at once never write it concurrently.
void limitDecoderAllocations()
{
    // Decoders allocate before they know the file is short; cap what they may take.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(int(kMaxImagePixels * 4 / (1024 * 1024)) + 1);
        return true;
    }();
    (void)limited;
}

// The decoder's fault in the words of the program's other reasons; Qt's own
// text is English.
QString readerFault(const QImageReader& reader)
{
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError: return QStringLiteral("対応していない形式です");
    case QImageReader::InvalidDataError: return QStringLiteral("画像データが正しくありません");
    case QImageReader::DeviceError: return QStringLiteral("ファイルを読み取れません");
    default: return QStringLiteral("形式が分かりません");
    }
}

}  // namespace

std::variant<QImage, ImageLoadFailure> LoadPicture(const QString& path, QSize visibleArea)
{
    const QFileInfo info(path);
    if (!info.exists()) return ImageLoadFailure{QStringLiteral("ファイルがありません")};
    if (!info.isFile()) return ImageLoadFailure{QStringLiteral("ファイルではありません")};
    if (!info.isReadable()) return ImageLoadFailure{QStringLiteral("読み取りが許可されていません")};

    // Read through the QFile, the reader still sees the file name's suffix.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ImageLoadFailure{QStringLiteral("ファイルを開けません (%1)").arg(file.errorString())};
    return decodePicture(file, visibleArea);
}

qint64 decodingFootprint(const QString& path)
{
    const qint64 file = std::min(QFileInfo(path).size(), kMaxImageFileBytes);
    const QSize size = QImageReader(path).size();
    const qint64 pixels = size.isValid() ? std::min(qint64(size.width()) * size.height(), kMaxImagePixels) : 0;
    return file + 2 * 4 * pixels;
}

std::variant<QImage, ImageLoadFailure> decodePicture(QIODevice& device, QSize visibleArea)
{
    limitDecoderAllocations();
    const auto bytes = bytesAhead(device);
    if (!bytes)
        return ImageLoadFailure{
            QStringLiteral("ファイルが大きすぎます (%1 バイトを超えています)").arg(kMaxImageFileBytes)};
    if (startsAsJpeg(*bytes) && hasMoreScansThan(*bytes, kMaxJpegScans))
        return ImageLoadFailure{QStringLiteral("JPEG のスキャンが多すぎます (%1 を超えています)").arg(kMaxJpegScans)};

    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxImagePixels)
        return ImageLoadFailure{
            QStringLiteral("画像が大きすぎます (%1 × %2 ピクセル)").arg(size.width()).arg(size.height())};
    // Decoders fill in what a cut-off or damaged file lacks and call it a
    // picture, so the data is walked to its end first.
    if (const auto fault = findDataFault(*bytes)) return ImageLoadFailure{dataFaultReason(*fault)};

    QImage image = reader.read();
    if (image.isNull()) return ImageLoadFailure{QStringLiteral("画像として読めません (%1)").arg(readerFault(reader))};
    if (image.width() > visibleArea.width() || image.height() > visibleArea.height())
        image = image.copy(QRect(QPoint(0, 0), visibleArea).intersected(image.rect()));
    return image;
}

}  // namespace vastrel::image
