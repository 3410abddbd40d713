#include "engine/image/PngText.h"

#include "engine/image/ByteReading.h"

#include <utility>
#include <vector>

namespace vastrel::image {

std::optional<QByteArray> pngWithoutLargeText(QByteArrayView bytes)
{
    if (!bytes.startsWith(QByteArrayView("\x89PNG\r\n\x1A\n", 8))) return std::nullopt;
    std::vector<std::pair<std::int64_t, std::int64_t>> textChunks;  // offset and size of each, whole
    bool large = false;
    for (std::int64_t at = 8; at < bytes.size();) {
        const auto length = bytes::be32(bytes, at);
        if (!length || !bytes::holds(bytes, at, 12 + std::int64_t(*length))) return std::nullopt;
        const QByteArrayView type = bytes.sliced(qsizetype(at) + 4, 4);
        if (type == QByteArrayView("tEXt") || type == QByteArrayView("zTXt") || type == QByteArrayView("iTXt")) {
            textChunks.emplace_back(at, 12 + std::int64_t(*length));
            large = large || *length > kMaxPngTextChunk;
        }
        if (type == QByteArrayView("IEND")) break;
        at += 12 + std::int64_t(*length);
    }
    if (!large) return std::nullopt;
    QByteArray kept;
    std::int64_t from = 0;
    for (const auto& [at, size] : textChunks) {
        kept.append(bytes.sliced(qsizetype(from), qsizetype(at - from)));
        from = at + size;
    }
    kept.append(bytes.sliced(qsizetype(from)));
    return kept;
}

}  // namespace vastrel::image
