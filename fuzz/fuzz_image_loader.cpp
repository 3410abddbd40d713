// Arbitrary bytes as a graph image: never a crash, a refusal always says why,
// and what is accepted is the top-left part of the picture that fits the
// image area.

#include "PropertyCheck.h"
#include "engine/image/ImageDecoding.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

using vastrel::fuzz::propertyBroken;

namespace {

// The drawing area of the main window's image box.
constexpr QSize visibleArea(1000, 800);

std::string sizeText(QSize size)
{
    return std::to_string(size.width()) + " x " + std::to_string(size.height());
}

// Decoders complain about every broken file; at fuzzing speed that is noise.
void ignoreMessage(QtMsgType, const QMessageLogContext&, const QString&)
{}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The plugin decoders (TIFF among them) are found through the application.
    static QCoreApplication application(*argc, *argv);
    qInstallMessageHandler(ignoreMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    const auto loaded = vastrel::image::decodePicture(device, visibleArea);

    if (const auto* failure = std::get_if<vastrel::image::ImageLoadFailure>(&loaded)) {
        if (failure->reason.trimmed().isEmpty()) propertyBroken("a refused image carries a reason", "empty reason");
        return 0;
    }
    const QImage& image = std::get<QImage>(loaded);
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        propertyBroken("an accepted image has pixels", sizeText(image.size()));
    if (image.width() > visibleArea.width() || image.height() > visibleArea.height())
        propertyBroken("an accepted image fits the image area", sizeText(image.size()));

    // Decoded whole once more, the picture must start with exactly what was kept.
    QBuffer again;
    again.setData(bytes);
    again.open(QIODevice::ReadOnly);
    QImageReader reader(&again);
    reader.setAutoTransform(false);  // the image area shows the pixels as stored
    const QImage whole = reader.read();
    if (whole.isNull()) propertyBroken("an accepted image decodes again", sizeText(image.size()));
    if (image.size() != whole.size().boundedTo(visibleArea))
        propertyBroken("the kept part is all of the picture that fits",
                       sizeText(image.size()) + " kept of " + sizeText(whole.size()));
    // Compared as the image area draws them: QImage's own comparison of an
    // indexed picture reads past its colour table for an index beyond it.
    const auto drawn = [](const QImage& picture) { return picture.convertToFormat(QImage::Format_ARGB32); };
    if (drawn(image) != drawn(whole.copy(QRect(QPoint(0, 0), image.size()))))
        propertyBroken("the kept part is the top-left corner of the picture", sizeText(whole.size()));
    return 0;
}
