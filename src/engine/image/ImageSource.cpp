#include "engine/image/ImageSource.h"

#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <optional>

namespace vastrel::image {

namespace {

const QStringList kPreferredTypes = {QStringLiteral("image/png"), QStringLiteral("image/bmp"),
                                     QStringLiteral("image/jpeg"), QStringLiteral("image/gif"),
                                     QStringLiteral("image/tiff")};

bool namesThisComputer(const QUrl& url)
{
    return url.host().isEmpty() || url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

// Qt reads file://host/path as a network share //host/path; a file manager
// means this computer by an empty host or "localhost".
QString firstLocalFile(const QMimeData& data)
{
    if (!data.hasUrls()) return {};
    for (const QUrl& url : data.urls())
        if (url.isLocalFile() && namesThisComputer(url) && !url.path().isEmpty())
            return url.path(QUrl::FullyDecoded);
    return {};
}

std::optional<OtherComputersFile> firstOtherComputersFile(const QMimeData& data)
{
    if (!data.hasUrls()) return std::nullopt;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile() && !namesThisComputer(url)) return OtherComputersFile{url.toString(), url.host()};
    return std::nullopt;
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
    if (auto other = firstOtherComputersFile(data)) return *other;
    return NoImage{};
}

bool offersImage(const QMimeData& data)
{
    return !firstLocalFile(data).isEmpty() || !bestImageType(data).isEmpty() || firstOtherComputersFile(data);
}

}  // namespace vastrel::image
