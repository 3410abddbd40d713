#pragma once
// The SHA-256 of an image's bytes, in 64 lower-case hex digits: what the
// exported series and the project name a picture by, so that a changed or
// another file of the same name is noticed.

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace vastrel::image {

QString sha256Of(QByteArrayView bytes);

// Of the regular file `path`, read to its end; nothing when it cannot be read.
std::optional<QString> sha256OfFile(const QString& path);

}  // namespace vastrel::image
