#pragma once
// One walk per format, each from the file's first byte to the end of its
// picture; nothing when the picture's data is whole. Only for bytes that
// start with the format's signature.

#include "engine/image/ImageDataCheck.h"

namespace vastrel::image::checks {

std::optional<DataFault> checkJpeg(QByteArrayView data);
std::optional<DataFault> checkPng(QByteArrayView data);
std::optional<DataFault> checkGif(QByteArrayView data);
std::optional<DataFault> checkBmp(QByteArrayView data);
std::optional<DataFault> checkTiff(QByteArrayView data);

}  // namespace vastrel::image::checks
