#include "engine/image/ImageDecoding.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace vastrel::image {

namespace {

bool startsAsJpeg(QIODevice& device)
{
    return device.peek(2) == QByteArrayLiteral("\xFF\xD8");
}

// Whether the JPEG data ahead holds more start-of-scan markers (FF DA) than
// `limit`; the device's position is kept. Entropy-coded data never holds
// FF DA (a data byte FF is followed by 00 or a restart marker), so only an
// embedded thumbnail can add to the count.
bool hasMoreScansThan(QIODevice& device, int limit)
{
    const qint64 start = device.pos();
    int scans = 0;
    bool afterFF = false;
    char chunk[64 * 1024];
    qint64 count = 0;
    while (scans <= limit && (count = device.read(chunk, sizeof chunk)) > 0) {
        for (qint64 i = 0; i < count; ++i) {
            const auto byte = static_cast<unsigned char>(chunk[i]);
            if (afterFF && byte == 0xDA) ++scans;
            afterFF = byte == 0xFF;
        }
    }
    device.seek(start);
    return scans > limit;
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

std::variant<QImage, ImageLoadFailure> decodePicture(QIODevice& device, QSize visibleArea)
{
    if (startsAsJpeg(device) && hasMoreScansThan(device, kMaxJpegScans))
        return ImageLoadFailure{QStringLiteral("JPEG のスキャンが多すぎます (%1 を超えています)").arg(kMaxJpegScans)};

    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxImagePixels)
        return ImageLoadFailure{QStringLiteral("画像が大きすぎます (%1 × %2 ピクセル)").arg(size.width()).arg(size.height())};
    // Decoders allocate before they know the file is short; cap what they may
    // take. The limit is global, so it is set once, not by every decoding
    // thread of a batch at the same time.
    [[maybe_unused]] static const bool allocationLimited =
        (QImageReader::setAllocationLimit(int(kMaxImagePixels * 4 / (1024 * 1024)) + 1), true);

    QImage image = reader.read();
    if (image.isNull()) {
        const QString detail = reader.errorString();
        return ImageLoadFailure{QStringLiteral("画像として読めません (%1)").arg(detail)};
    }
    if (image.width() > visibleArea.width() || image.height() > visibleArea.height())
        image = image.copy(QRect(QPoint(0, 0), visibleArea).intersected(image.rect()));
    return image;
}

}  // namespace vastrel::image
