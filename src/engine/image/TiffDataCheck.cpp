// A TIFF file is whole when every directory, every value a directory points
// to and every strip or tile of its pictures lies inside the file, and every
// Deflate-compressed strip is a complete stream. libtiff ignores a cut-off
// tag value, and a broken Deflate strip once it has enough bytes for its rows.

#include "engine/image/ByteReading.h"
#include "engine/image/FormatChecks.h"

#include <algorithm>
#include <set>
#include <vector>

#include <zlib.h>

namespace vastrel::image::checks {

namespace {

constexpr std::uint32_t kCompression = 259;
constexpr std::uint32_t kStripOffsets = 273, kStripByteCounts = 279;
constexpr std::uint32_t kTileOffsets = 324, kTileByteCounts = 325;
constexpr std::uint32_t kDeflate = 8, kOldDeflate = 32946;
constexpr int kMaxDirectories = 256;

int typeSize(std::uint32_t type)
{
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7: return 1;  // bytes, text, undefined
    case 3:
    case 8: return 2;  // 16-bit integers
    case 4:
    case 9:
    case 11:
    case 13: return 4;  // 32-bit integers, float, directory offset
    case 5:
    case 10:
    case 12: return 8;  // rationals, double
    default: return 0;  // a type libtiff passes over
    }
}

struct Directory {
    std::vector<std::uint32_t> offsets, byteCounts;
    std::uint32_t compression = 1;
};

class TiffWalk {
public:
    explicit TiffWalk(QByteArrayView data) : data_(data), bigEndian_(data.startsWith("MM")) {}

    std::optional<DataFault> run()
    {
        auto next = u32(4);
        std::set<std::uint32_t> seen;
        while (next && *next != 0) {
            if (!seen.insert(*next).second) return DataFault::Damaged;    // directories in a loop
            if (int(seen.size()) > kMaxDirectories) return std::nullopt;  // the rest left to the decoder
            Directory directory;
            if (const auto fault = readDirectory(*next, directory)) return fault;
            // Only the first directory's picture is shown, so only its
            // streams are inflated.
            if (const auto fault = checkPieces(directory, seen.size() == 1)) return fault;
            const auto count = u16(*next);
            next = u32(std::int64_t(*next) + 2 + 12 * std::int64_t(*count));
        }
        return next ? std::nullopt : std::optional(DataFault::EndsEarly);
    }

private:
    std::optional<std::uint32_t> u16(std::int64_t at) const { return bytes::read(data_, at, 2, bigEndian_); }
    std::optional<std::uint32_t> u32(std::int64_t at) const { return bytes::read(data_, at, 4, bigEndian_); }

    std::optional<DataFault> readDirectory(std::uint32_t at, Directory& directory) const
    {
        const auto count = u16(at);
        if (!count || !bytes::holds(data_, at, 2 + 12 * std::int64_t(*count) + 4)) return DataFault::EndsEarly;
        for (std::int64_t entry = at + 2; entry < at + 2 + 12 * std::int64_t(*count); entry += 12) {
            const std::uint32_t tag = *u16(entry), type = *u16(entry + 2), values = *u32(entry + 4);
            const std::int64_t size = std::int64_t(typeSize(type)) * values;
            // Values of up to four bytes sit in the entry, longer ones elsewhere.
            const std::int64_t valuesAt = size <= 4 ? entry + 8 : std::int64_t(*u32(entry + 8));
            if (!bytes::holds(data_, valuesAt, size)) return DataFault::EndsEarly;
            if (type != 3 && type != 4) continue;
            if (tag == kCompression && values > 0) directory.compression = numbers(valuesAt, type, 1)[0];
            if (tag == kStripOffsets || tag == kTileOffsets) directory.offsets = numbers(valuesAt, type, values);
            if (tag == kStripByteCounts || tag == kTileByteCounts)
                directory.byteCounts = numbers(valuesAt, type, values);
        }
        return std::nullopt;
    }

    std::vector<std::uint32_t> numbers(std::int64_t at, std::uint32_t type, std::uint32_t count) const
    {
        std::vector<std::uint32_t> values(count);
        const int width = typeSize(type);
        for (std::uint32_t i = 0; i < count; ++i)
            values[i] = *bytes::read(data_, at + std::int64_t(i) * width, width, bigEndian_);
        return values;
    }

    std::optional<DataFault> checkPieces(const Directory& directory, bool shown) const
    {
        const bool deflated = directory.compression == kDeflate || directory.compression == kOldDeflate;
        // Strips of a sound file do not overlap, so more than the file's
        // length to inflate means pieces shared on purpose or by a forger.
        std::int64_t inflated = 0;
        for (std::size_t i = 0; i < directory.offsets.size(); ++i) {
            // Without byte counts libtiff guesses them; the start at least must be there.
            const std::int64_t count = i < directory.byteCounts.size() ? directory.byteCounts[i] : 0;
            if (!bytes::holds(data_, directory.offsets[i], count)) return DataFault::EndsEarly;
            if (!shown || !deflated || count == 0 || (inflated += count) > data_.size()) continue;
            if (!completeStream(data_.sliced(directory.offsets[i], count))) return DataFault::Damaged;
        }
        return std::nullopt;
    }

    // Whether the zlib stream inflates to its end, where zlib checks the
    // checksum of everything it gave.
    static bool completeStream(QByteArrayView piece)
    {
        z_stream stream{};
        if (inflateInit(&stream) != Z_OK) return true;  // no memory: leave it to the decoder
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
        stream.avail_in = static_cast<uInt>(piece.size());
        Bytef sink[16384];
        int status = Z_OK;
        while (status == Z_OK) {
            stream.next_out = sink;
            stream.avail_out = sizeof sink;
            status = inflate(&stream, Z_NO_FLUSH);
        }
        inflateEnd(&stream);
        return status == Z_STREAM_END;
    }

    QByteArrayView data_;
    bool bigEndian_;
};

}  // namespace

std::optional<DataFault> checkTiff(QByteArrayView data)
{
    return TiffWalk(data).run();
}

}  // namespace vastrel::image::checks
