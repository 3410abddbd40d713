#include "engine/image/ImageSource.h"

#include <QStringList>
#include <QUrl>
#include <algorithm>

namespace vastrel::image {

namespace {

const QStringList kPreferredTypes = {QStringLiteral("image/png"), QStringLiteral("image/bmp"),
                                     QStringLiteral("image/jpeg"), QStringLiteral("image/gif"),
                                     QStringLiteral("image/tiff")};

QString firstLocalFile(const QMimeData& data)
{
    if (!data.hasUrls()) return {};
    for (const QUrl& url : data.urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) return url.toLocalFile();
    return {};
}

QString bestImageType(const QMimeData& data)
{
    const QStringList offered = data.formats();
    for (const QString& type : kPreferredTypes)
        if (offered.contains(type)) return type;
    const auto other = std::find_if(offered.begin(), offered.end(),
                                    [](const QString& type) { return type.startsWith(QLatin1String("image/")); });
    return other == offered.end() ? QString() : *other;
}

}  // namespace

ImageSource imageSourceOf(const QMimeData& data)
{
    if (const QString path = firstLocalFile(data); !path.isEmpty()) return ImageFile{path};
    if (const QString type = bestImageType(data); !type.isEmpty()) {
        QByteArray bytes = data.data(type);
        if (!bytes.isEmpty()) return ImageBytes{std::move(bytes), type};
    }
    return NoImage{};
}

bool offersImage(const QMimeData& data)
{
    return !firstLocalFile(data).isEmpty() || !bestImageType(data).isEmpty();
}

}  // namespace vastrel::image
