// A PNG file is whole when its chunks, each with a matching CRC, run on to
// the end chunk IEND. libpng stops at a broken image chunk, but takes a file
// whose IEND is cut off, and passes over a broken ancillary chunk.

#include "engine/image/ByteReading.h"
#include "engine/image/FormatChecks.h"

#include <algorithm>

#include <zlib.h>

namespace vastrel::image::checks {

namespace {

constexpr std::int64_t kSignatureSize = 8;
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFFu;

std::uint32_t crcOf(QByteArrayView data, std::int64_t at, std::int64_t count)
{
    auto crc = crc32(0L, Z_NULL, 0);
    const auto* start = reinterpret_cast<const Bytef*>(data.data()) + at;
    // zlib counts in unsigned int; a chunk may hold up to 2^31 - 1 bytes.
    for (std::int64_t done = 0; done < count;) {
        const auto step = static_cast<uInt>(std::min<std::int64_t>(count - done, 1 << 30));
        crc = crc32(crc, start + done, step);
        done += step;
    }
    return static_cast<std::uint32_t>(crc);
}

}  // namespace

std::optional<DataFault> checkPng(QByteArrayView data)
{
    std::int64_t at = kSignatureSize;
    for (;;) {
        const auto length = bytes::be32(data, at);
        if (!length || !bytes::holds(data, at + 4, 4)) return DataFault::EndsEarly;
        if (*length > kMaxChunkLength) return DataFault::Damaged;
        const auto stored = bytes::be32(data, at + 8 + *length);
        if (!stored) return DataFault::EndsEarly;
        // The CRC covers the chunk's type and data.
        if (crcOf(data, at + 4, 4 + std::int64_t(*length)) != *stored) return DataFault::Damaged;
        if (data.sliced(qsizetype(at) + 4, 4) == QByteArrayView("IEND")) return std::nullopt;
        at += 12 + std::int64_t(*length);
    }
}

}  // namespace vastrel::image::checks
