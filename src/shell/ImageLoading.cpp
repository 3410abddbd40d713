#include "shell/ImageLoading.h"

#include <QFileInfo>
#include <QImageReader>

namespace vastrel::shell {

std::variant<QImage, ImageLoadFailure> LoadPicture(const QString& path, QSize visibleArea)
{
    const QFileInfo file(path);
    if (!file.exists()) return ImageLoadFailure{QStringLiteral("ファイルがありません")};
    if (!file.isFile()) return ImageLoadFailure{QStringLiteral("ファイルではありません")};
    if (!file.isReadable()) return ImageLoadFailure{QStringLiteral("読み取りが許可されていません")};

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxImagePixels)
        return ImageLoadFailure{QStringLiteral("画像が大きすぎます (%1 × %2 ピクセル)").arg(size.width()).arg(size.height())};
    // Decoders allocate before they know the file is short; cap what they may take.
    QImageReader::setAllocationLimit(int(kMaxImagePixels * 4 / (1024 * 1024)) + 1);

    QImage image = reader.read();
    if (image.isNull()) {
        const QString detail = reader.errorString();
        return ImageLoadFailure{QStringLiteral("画像として読めません (%1)").arg(detail)};
    }
    if (image.width() > visibleArea.width() || image.height() > visibleArea.height())
        image = image.copy(QRect(QPoint(0, 0), visibleArea).intersected(image.rect()));
    return image;
}

}  // namespace vastrel::shell
