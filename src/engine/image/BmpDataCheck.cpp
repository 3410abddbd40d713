// A BMP file is whole when it is long enough for all the rows its header
// promises, or, run-length encoded, when its runs fill every row and reach
// the end-of-bitmap code. The decoder reads what there is and leaves the
// missing rows as they were.

#include "engine/image/ByteReading.h"
#include "engine/image/FormatChecks.h"

#include <algorithm>
#include <cstdlib>
#include <variant>

namespace vastrel::image::checks {

namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // the oldest header, with 16-bit sizes
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

// Where the decoder finds each part of the file. It reads the 32-bit fields
// only from the headers it knows by size, and any other header as the oldest
// one; it looks for the colour table after the first 40 bytes of the newer
// headers; and it jumps forward to the pixels' offset, never back.
struct BitmapLayout {
    std::int64_t width = 0, height = 0;  // height < 0: rows stored top-down
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
    std::int64_t pixelsAt = 0;
};

bool knownByTheDecoder(std::uint32_t headerSize)
{
    return headerSize == 40 || headerSize == 64 || headerSize == 108 || headerSize == 124;
}

// The layout, or the fault of a file too short to hold its header and colours.
std::variant<BitmapLayout, DataFault> readLayout(QByteArrayView data, std::uint32_t headerSize,
                                                 std::uint32_t dataOffset)
{
    const std::int64_t at = kFileHeaderSize + 4;
    BitmapLayout layout;
    std::uint32_t coloursUsed = 0;
    if (knownByTheDecoder(headerSize)) {
        const auto width = bytes::le32(data, at), height = bytes::le32(data, at + 4);
        const auto bits = bytes::le16(data, at + 10), compression = bytes::le32(data, at + 12);
        const auto used = bytes::le32(data, at + 28);
        if (!width || !height || !bits || !compression || !used) return DataFault::EndsEarly;
        layout.width = std::int32_t(*width);
        layout.height = std::int32_t(*height);
        layout.bitsPerPixel = *bits;
        layout.compression = *compression;
        coloursUsed = *used;
    } else {
        const auto width = bytes::le16(data, at), height = bytes::le16(data, at + 2);
        const auto bits = bytes::le16(data, at + 6);
        if (!width || !height || !bits) return DataFault::EndsEarly;
        layout.width = std::int16_t(*width);
        layout.height = std::int16_t(*height);
        layout.bitsPerPixel = *bits;
    }
    const std::int64_t tableAt = kFileHeaderSize + (headerSize >= 108 ? 40 : std::int64_t(headerSize));
    const std::int64_t colours = layout.bitsPerPixel > 8 ? 0 : coloursUsed ? coloursUsed : 1 << layout.bitsPerPixel;
    const std::int64_t tableEnd = tableAt + colours * (headerSize == kCoreHeaderSize ? 3 : 4);
    layout.pixelsAt = std::max<std::int64_t>(dataOffset, tableEnd);
    if (!bytes::holds(data, layout.pixelsAt, 0)) return DataFault::EndsEarly;
    return layout;
}

// Walks run-length encoded rows from `at` to the end-of-bitmap code. The
// decoder leaves every pixel the runs do not reach as whatever its memory
// held, so a row left short, a jump over pixels or an early end of the bitmap
// would show (and be scanned as) noise.
std::optional<DataFault> checkRuns(QByteArrayView data, std::int64_t at, const BitmapLayout& layout)
{
    const bool fourBits = layout.compression == kRle4;
    const std::int64_t rows = std::abs(layout.height);
    std::int64_t x = 0, y = 0;
    for (;;) {
        if (!bytes::holds(data, at, 2)) return DataFault::EndsEarly;
        const int count = bytes::byteAt(data, at), value = bytes::byteAt(data, at + 1);
        at += 2;
        if (count > 0) {
            x += count;  // a run of one colour (or two alternating ones)
        } else if (value == 0) {
            if (x != layout.width) return DataFault::Damaged;  // end of a row not filled
            x = 0;
            ++y;
        } else if (value == 1) {
            // End of bitmap: after the last row, or right at its end.
            const bool filled = (y == rows && x == 0) || (y == rows - 1 && x == layout.width);
            return filled ? std::nullopt : std::optional(DataFault::EndsEarly);
        } else if (value == 2) {
            return DataFault::Damaged;  // a jump over pixels
        } else {
            // `value` pixels stored as they are, padded to a whole 16-bit word.
            const std::int64_t stored = fourBits ? (value + 1) / 2 : value;
            at += stored + (stored & 1);
            x += value;
        }
        if (x > layout.width || y > rows) return DataFault::Damaged;
    }
}

}  // namespace

std::optional<DataFault> checkBmp(QByteArrayView data)
{
    const auto dataOffset = bytes::le32(data, 10);
    const auto headerSize = bytes::le32(data, kFileHeaderSize);
    if (!dataOffset || !headerSize) return DataFault::EndsEarly;
    const auto read = readLayout(data, *headerSize, *dataOffset);
    if (const auto* fault = std::get_if<DataFault>(&read)) return *fault;
    const auto& layout = std::get<BitmapLayout>(read);

    switch (layout.compression) {
    case kRle8:
    case kRle4: return checkRuns(data, layout.pixelsAt, layout);
    case kRgb:
    case kBitFields: {
        if (layout.width <= 0 || layout.height == 0 || layout.bitsPerPixel == 0 || layout.bitsPerPixel > 32)
            return std::nullopt;  // not a picture the decoder takes
        // Rows are padded to 32 bits. The decoder reads whole rows, so even a
        // last row short of its padding is not read at all.
        const std::int64_t rowBits = layout.width * layout.bitsPerPixel;
        const std::int64_t stride = (rowBits + 31) / 32 * 4;
        const std::int64_t available = data.size() - layout.pixelsAt;
        return std::abs(layout.height) <= available / stride ? std::nullopt : std::optional(DataFault::EndsEarly);
    }
    default: return std::nullopt;  // a compression the decoder does not take
    }
}

}  // namespace vastrel::image::checks
