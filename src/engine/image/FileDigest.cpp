#include "engine/image/FileDigest.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace vastrel::image {

QString sha256Of(QByteArrayView bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

std::optional<QString> sha256OfFile(const QString& path)
{
    // A pipe or a device would never end, or end with other bytes each time.
    if (!QFileInfo(path).isFile()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file) || file.error() != QFileDevice::NoError) return std::nullopt;
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace vastrel::image
