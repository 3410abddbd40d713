// A BMP file is whole when it is long enough for all the rows its header
// promises, or, run-length encoded, when its runs fill every row and reach
// the end-of-bitmap code. The decoder reads what there is and leaves the
// missing rows as they were.

#include "engine/image/ByteReading.h"
#include "engine/image/FormatChecks.h"

#include <cstdlib>

namespace vastrel::image::checks {

namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // the oldest header, with 16-bit sizes
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

struct BitmapHeader {
    std::int64_t width = 0, height = 0;  // height < 0: rows stored top-down
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
};

std::optional<BitmapHeader> readHeader(QByteArrayView data, std::uint32_t headerSize)
{
    const std::int64_t at = kFileHeaderSize + 4;
    BitmapHeader header;
    if (headerSize == kCoreHeaderSize) {
        const auto width = bytes::le16(data, at), height = bytes::le16(data, at + 2);
        const auto bits = bytes::le16(data, at + 6);
        if (!width || !height || !bits) return std::nullopt;
        header.width = *width;
        header.height = *height;
        header.bitsPerPixel = *bits;
        return header;
    }
    const auto width = bytes::le32(data, at), height = bytes::le32(data, at + 4);
    const auto bits = bytes::le16(data, at + 10), compression = bytes::le32(data, at + 12);
    if (!width || !height || !bits || !compression) return std::nullopt;
    header.width = std::int32_t(*width);
    header.height = std::int32_t(*height);
    header.bitsPerPixel = *bits;
    header.compression = *compression;
    return header;
}

// Walks run-length encoded rows from `at` to the end-of-bitmap code. The
// decoder leaves every pixel the runs do not reach as whatever its memory
// held, so a row left short, a jump over pixels or an early end of the bitmap
// would show (and be scanned as) noise.
std::optional<DataFault> checkRuns(QByteArrayView data, std::int64_t at, const BitmapHeader& header)
{
    const bool fourBits = header.compression == kRle4;
    const std::int64_t rows = std::abs(header.height);
    std::int64_t x = 0, y = 0;
    for (;;) {
        if (!bytes::holds(data, at, 2)) return DataFault::EndsEarly;
        const int count = bytes::byteAt(data, at), value = bytes::byteAt(data, at + 1);
        at += 2;
        if (count > 0) {
            x += count;  // a run of one colour (or two alternating ones)
        } else if (value == 0) {
            if (x != header.width) return DataFault::Damaged;  // end of a row not filled
            x = 0;
            ++y;
        } else if (value == 1) {
            // End of bitmap: after the last row, or right at its end.
            const bool filled = (y == rows && x == 0) || (y == rows - 1 && x == header.width);
            return filled ? std::nullopt : std::optional(DataFault::EndsEarly);
        } else if (value == 2) {
            return DataFault::Damaged;  // a jump over pixels
        } else {
            // `value` pixels stored as they are, padded to a whole 16-bit word.
            const std::int64_t stored = fourBits ? (value + 1) / 2 : value;
            at += stored + (stored & 1);
            x += value;
        }
        if (x > header.width || y > rows) return DataFault::Damaged;
    }
}

}  // namespace

std::optional<DataFault> checkBmp(QByteArrayView data)
{
    const auto dataOffset = bytes::le32(data, 10);
    const auto headerSize = bytes::le32(data, kFileHeaderSize);
    if (!dataOffset || !headerSize) return DataFault::EndsEarly;
    if (*headerSize < kCoreHeaderSize || *headerSize > 1024) return std::nullopt;  // not a header the decoder knows
    if (!bytes::holds(data, kFileHeaderSize, *headerSize)) return DataFault::EndsEarly;
    const auto header = readHeader(data, *headerSize);
    if (!header) return DataFault::EndsEarly;
    if (!bytes::holds(data, *dataOffset, 0)) return DataFault::EndsEarly;

    switch (header->compression) {
    case kRle8:
    case kRle4:
        return checkRuns(data, *dataOffset, *header);
    case kRgb:
    case kBitFields:
    case kAlphaBitFields: {
        if (header->width <= 0 || header->height == 0 || header->bitsPerPixel == 0) return std::nullopt;
        // Rows are padded to 32 bits. The decoder reads whole rows, so even a
        // last row short of its padding is not read at all.
        const std::int64_t rowBits = header->width * header->bitsPerPixel;  // below 2^47
        const std::int64_t stride = (rowBits + 31) / 32 * 4;
        const std::int64_t available = data.size() - *dataOffset;
        return std::abs(header->height) <= available / stride ? std::nullopt : std::optional(DataFault::EndsEarly);
    }
    default:
        return std::nullopt;  // embedded JPEG or PNG, which the decoder does not take
    }
}

}  // namespace vastrel::image::checks
