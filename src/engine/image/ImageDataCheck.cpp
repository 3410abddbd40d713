#include "engine/image/ImageDataCheck.h"

#include "engine/image/FormatChecks.h"

namespace vastrel::image {

namespace {

struct FormatWalk {
    const char* name;
    QByteArrayView signature;
    std::optional<DataFault> (*check)(QByteArrayView);
};

}  // namespace

std::optional<ImageDataFault> findDataFault(QByteArrayView bytes)
{
    static const FormatWalk walks[] = {
        {"JPEG", QByteArrayView("\xFF\xD8", 2), checks::checkJpeg},
        {"PNG", QByteArrayView("\x89PNG\r\n\x1A\n", 8), checks::checkPng},
        {"GIF", QByteArrayView("GIF8", 4), checks::checkGif},
        {"BMP", QByteArrayView("BM", 2), checks::checkBmp},
        {"TIFF", QByteArrayView("II*\0", 4), checks::checkTiff},
        {"TIFF", QByteArrayView("MM\0*", 4), checks::checkTiff},
    };
    for (const FormatWalk& walk : walks) {
        if (!bytes.startsWith(walk.signature)) continue;
        if (const auto fault = walk.check(bytes)) return ImageDataFault{QString::fromLatin1(walk.name), *fault};
        return std::nullopt;
    }
    return std::nullopt;
}

QString dataFaultReason(const ImageDataFault& fault)
{
    if (fault.fault == DataFault::EndsEarly)
        return QStringLiteral("%1 の画像データが途中で切れています (ファイルが不完全です)").arg(fault.format);
    return QStringLiteral("%1 の画像データが壊れています (ファイルが破損しています)").arg(fault.format);
}

}  // namespace vastrel::image
