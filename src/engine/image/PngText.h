#pragma once
// Text chunks in a PNG file (a comment, a description, a whole document
// someone saved with the graph) say nothing of its pixels. libpng holds each
// it reads in memory, and gives up on one of more than a few megabytes as if
// the file were damaged, so the large ones are taken out before it reads.

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace vastrel::image {

// A text chunk larger than this is nothing a graph needs.
inline constexpr qint64 kMaxPngTextChunk = qint64(1) << 20;

// The PNG's bytes without its tEXt, zTXt and iTXt chunks, when one of them
// is larger than kMaxPngTextChunk; nothing when none is, or when the bytes
// are no PNG whose chunks can be walked (the whole-file check then tells).
std::optional<QByteArray> pngWithoutLargeText(QByteArrayView bytes);

}  // namespace vastrel::image
