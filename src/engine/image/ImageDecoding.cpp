#include "engine/image/ImageDecoding.h"

#include "engine/image/ImageDataCheck.h"
#include "engine/image/PngText.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <tiffio.h>
#include <unistd.h>

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

// The decoders' settings are process-wide: set once, before the first
// decoding, so that threads decoding at once never write them concurrently.
void setUpDecoders()
{
    static const bool done = [] {
        // Decoders allocate before they know the file is short; cap what they may take.
        QImageReader::setAllocationLimit(int(kMaxImagePixels * 4 / (1024 * 1024)) + 1);
        // libtiff would print its warnings (an unknown tag) and errors on the
        // terminal, naming no image; a file it cannot read is reported here
        // with its name and the reason.
        TIFFSetWarningHandler(nullptr);
        TIFFSetErrorHandler(nullptr);
        return true;
    }();
    (void)done;
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
    auto opened = openImageFile(QFile::encodeName(path));
    if (auto* failure = std::get_if<ImageLoadFailure>(&opened)) return std::move(*failure);
    return decodePicture(*std::get<std::unique_ptr<QFile>>(opened), visibleArea);
}

std::variant<std::unique_ptr<QFile>, ImageLoadFailure> openImageFile(const QByteArray& path)
{
    const auto cannotOpen = [](int error) {
        if (error == EACCES) return ImageLoadFailure{QStringLiteral("読み取りが許可されていません")};
        return ImageLoadFailure{QStringLiteral("ファイルを開けません (%1)")
                                    .arg(QString::fromStdString(std::generic_category().message(error)))};
    };
    struct stat status {};
    if (::stat(path.constData(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return ImageLoadFailure{QStringLiteral("ファイルがありません")};
        return cannotOpen(errno);
    }
    if (!S_ISREG(status.st_mode)) return ImageLoadFailure{QStringLiteral("ファイルではありません")};
    // Not waiting, and checked once more when open: a FIFO put in the file's
    // place meanwhile would otherwise hold the open until someone writes.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return cannotOpen(errno);
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return ImageLoadFailure{QStringLiteral("ファイルではありません")};
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return cannotOpen(EIO);
    }
    return file;
}

qint64 decodingFootprint(QIODevice& file)
{
    const qint64 start = file.pos();
    const qint64 bytes = std::min(file.size() - start, kMaxImageFileBytes);
    setUpDecoders();
    QSize size;
    // A PNG's size stands in its first chunk; libpng would read on through
    // every text chunk before the picture to tell it.
    const QByteArray head = file.peek(24);
    if (head.startsWith("\x89PNG\r\n\x1A\n") && head.mid(12, 4) == "IHDR") {
        const auto side = [&](int at) { return int(qFromBigEndian<quint32>(head.constData() + at) & 0x7FFFFFFF); };
        size = QSize(side(16), side(20));
    } else {
        try {
            size = QImageReader(&file).size();
        } catch (const std::bad_alloc&) {
            // A header too large to read says nothing of the picture; the
            // decoding itself will tell.
        }
    }
    file.seek(start);
    const qint64 pixels = size.isValid() ? std::min(qint64(size.width()) * size.height(), kMaxImagePixels) : 0;
    return bytes + 2 * 4 * pixels;
}

namespace {

ImageLoadFailure outOfMemory()
{
    return ImageLoadFailure{QStringLiteral("メモリが足りません"), true};
}

// Whether `bytes` could be had right now. Decoders answer a failed allocation
// with an empty picture, which alone cannot be told from a damaged file.
bool memoryAvailable(qint64 bytes)
{
    void* block = std::malloc(static_cast<std::size_t>(std::max<qint64>(bytes, 1)));
    std::free(block);
    return block != nullptr;
}

std::variant<QImage, ImageLoadFailure> decodeChecked(QIODevice& device, QSize visibleArea)
{
    setUpDecoders();
    const qint64 start = device.pos();
    const auto bytes = bytesAhead(device);
    if (!bytes)
        return ImageLoadFailure{
            QStringLiteral("ファイルが大きすぎます (%1 バイトを超えています)").arg(kMaxImageFileBytes)};
    if (startsAsJpeg(*bytes) && hasMoreScansThan(*bytes, kMaxJpegScans))
        return ImageLoadFailure{QStringLiteral("JPEG のスキャンが多すぎます (%1 を超えています)").arg(kMaxJpegScans)};

    // The decoder reads the picture without the text chunks it could not hold.
    QBuffer withoutText;
    QIODevice* source = &device;
    qint64 sourceStart = start;
    if (std::optional<QByteArray> stripped = pngWithoutLargeText(*bytes)) {
        withoutText.setData(std::move(*stripped));
        withoutText.open(QIODevice::ReadOnly);
        source = &withoutText;
        sourceStart = 0;
    }

    QImageReader reader(source);
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
    // The picture as decoded and once converted: what the decoding needs.
    const qint64 needed = size.isValid() ? 2 * 4 * qint64(size.width()) * size.height() : 0;
    if (image.isNull() && memoryAvailable(needed)) {
        // The memory may have been freed since the decoder wanted it: once
        // more, so that a shortage that has passed is not called damage.
        source->seek(sourceStart);
        QImageReader again(source);
        again.setDecideFormatFromContent(true);
        again.setAutoTransform(false);
        image = again.read();
        if (image.isNull() && memoryAvailable(needed))
            return ImageLoadFailure{QStringLiteral("画像として読めません (%1)").arg(readerFault(again))};
    }
    if (image.isNull()) return outOfMemory();
    if (image.width() > visibleArea.width() || image.height() > visibleArea.height()) {
        image = image.copy(QRect(QPoint(0, 0), visibleArea).intersected(image.rect()));
        if (image.isNull()) return outOfMemory();
    }
    return image;
}

}  // namespace

std::variant<QImage, ImageLoadFailure> decodePicture(QIODevice& device, QSize visibleArea)
{
    // Qt's containers and the decoders' own buffers throw when memory runs
    // out: that is this picture's failure, not the program's.
    try {
        return decodeChecked(device, visibleArea);
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
}

}  // namespace vastrel::image
