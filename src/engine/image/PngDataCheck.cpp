// A PNG file is whole when its chunks, each with a matching CRC, run on to
// the end chunk IEND. libpng stops at a broken image chunk, but takes a file
// whose IEND is cut off, and passes over a broken ancillary chunk. Its image
// data is whole when the header is one libpng takes and the compressed rows
// inflate to every row the header promises, each with a filter libpng knows:
// otherwise libpng refuses the file with a message of its own on the
// terminal, which no program using it can catch.

#include "engine/image/ByteReading.h"
#include "engine/image/FormatChecks.h"

#include <algorithm>
#include <array>
#include <vector>

#include <zlib.h>

namespace vastrel::image::checks {

namespace {

constexpr std::int64_t kSignatureSize = 8;
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFFu;
constexpr int kMaxFilterType = 4;

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

struct Header {
    std::uint32_t width = 0, height = 0;
    int bitsPerPixel = 0;
    bool interlaced = false;
    bool needsPalette = false;
};

// The IHDR fields, or nothing when libpng would refuse them.
std::optional<Header> headerOf(QByteArrayView ihdr)
{
    Header header;
    header.width = *bytes::be32(ihdr, 0);
    header.height = *bytes::be32(ihdr, 4);
    const int depth = bytes::byteAt(ihdr, 8), colourType = bytes::byteAt(ihdr, 9);
    const auto depthIn = [depth](std::initializer_list<int> allowed) {
        return std::find(allowed.begin(), allowed.end(), depth) != allowed.end();
    };
    int channels = 0;
    switch (colourType) {
    case 0: channels = depthIn({1, 2, 4, 8, 16}) ? 1 : 0; break;
    case 3: channels = depthIn({1, 2, 4, 8}) ? 1 : 0; break;
    case 2: channels = depthIn({8, 16}) ? 3 : 0; break;
    case 4: channels = depthIn({8, 16}) ? 2 : 0; break;
    case 6: channels = depthIn({8, 16}) ? 4 : 0; break;
    default: break;
    }
    const bool sizeOk =
        header.width >= 1 && header.width <= kMaxChunkLength && header.height >= 1 && header.height <= kMaxChunkLength;
    const int compression = bytes::byteAt(ihdr, 10), filter = bytes::byteAt(ihdr, 11),
              interlace = bytes::byteAt(ihdr, 12);
    if (channels == 0 || !sizeOk || compression != 0 || filter != 0 || interlace > 1) return std::nullopt;
    header.bitsPerPixel = channels * depth;
    header.interlaced = interlace == 1;
    header.needsPalette = colourType == 3;
    return header;
}

// Where in the inflated data each row's filter byte stands, row after row and
// pass after pass, and how long the data is in all.
class RowLayout {
public:
    explicit RowLayout(const Header& header)
    {
        static constexpr std::array<std::array<std::uint32_t, 4>, 7> kAdam7{
            {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}};
        const auto addPass = [&](std::uint64_t width, std::uint64_t height) {
            if (width == 0 || height == 0) return;
            passes_.push_back({total_, 1 + (width * std::uint64_t(header.bitsPerPixel) + 7) / 8, height});
            total_ += passes_.back().rowLength * height;
        };
        if (!header.interlaced) {
            addPass(header.width, header.height);
            return;
        }
        for (const auto& [x0, y0, dx, dy] : kAdam7)
            addPass(header.width > x0 ? (header.width - x0 + dx - 1) / dx : 0,
                    header.height > y0 ? (header.height - y0 + dy - 1) / dy : 0);
    }

    std::uint64_t total() const { return total_; }

    // Whether the inflated bytes [at, at + count) put a known filter on every
    // row they start.
    bool filtersKnown(const unsigned char* data, std::uint64_t at, std::uint64_t count)
    {
        for (; pass_ < passes_.size(); ++pass_, row_ = 0) {
            const Pass& pass = passes_[pass_];
            for (; row_ < pass.rows; ++row_) {
                const std::uint64_t filterAt = pass.start + row_ * pass.rowLength;
                if (filterAt >= at + count) return true;
                if (data[filterAt - at] > kMaxFilterType) return false;
            }
        }
        return true;
    }

private:
    struct Pass {
        std::uint64_t start, rowLength, rows;
    };
    std::vector<Pass> passes_;
    std::uint64_t total_ = 0;
    std::size_t pass_ = 0;
    std::uint64_t row_ = 0;
};

// Inflates the IDAT data, in order, as far as the rows go: the data must hold
// every row, and every row a known filter. What follows the last row does not
// matter to libpng, nor does it here.
std::optional<DataFault> checkImageData(QByteArrayView data, const Header& header,
                                        const std::vector<std::pair<std::int64_t, std::int64_t>>& idats)
{
    RowLayout layout(header);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return std::nullopt;  // no verdict without zlib's memory
    std::vector<unsigned char> window(std::size_t(1) << 18);
    std::uint64_t produced = 0;
    std::optional<DataFault> fault;
    int status = Z_OK;
    for (const auto& [at, length] : idats) {
        stream.next_in = const_cast<Bytef*>(reinterpret_cast<const Bytef*>(data.data() + at));
        stream.avail_in = static_cast<uInt>(length);
        while (stream.avail_in > 0 && status == Z_OK && produced < layout.total()) {
            stream.next_out = window.data();
            stream.avail_out = static_cast<uInt>(std::min<std::uint64_t>(window.size(), layout.total() - produced));
            const uInt room = stream.avail_out;
            status = inflate(&stream, Z_NO_FLUSH);
            const uInt got = room - stream.avail_out;
            if (!layout.filtersKnown(window.data(), produced, got)) fault = DataFault::Damaged;
            produced += got;
            if (fault || (status != Z_OK && status != Z_STREAM_END)) break;
        }
        if (fault || (status != Z_OK && status != Z_STREAM_END) || produced >= layout.total()) break;
    }
    inflateEnd(&stream);
    if (status == Z_MEM_ERROR) return std::nullopt;
    if (fault || produced < layout.total()) return DataFault::Damaged;
    return std::nullopt;
}

}  // namespace

std::optional<DataFault> checkPng(QByteArrayView data)
{
    std::int64_t at = kSignatureSize;
    std::optional<Header> header;
    bool palette = false, idatsEnded = false;
    std::vector<std::pair<std::int64_t, std::int64_t>> idats;
    for (;;) {
        const auto length = bytes::be32(data, at);
        if (!length || !bytes::holds(data, at + 4, 4)) return DataFault::EndsEarly;
        if (*length > kMaxChunkLength) return DataFault::Damaged;
        const auto stored = bytes::be32(data, at + 8 + *length);
        if (!stored) return DataFault::EndsEarly;
        // The CRC covers the chunk's type and data.
        if (crcOf(data, at + 4, 4 + std::int64_t(*length)) != *stored) return DataFault::Damaged;
        const QByteArrayView type = data.sliced(qsizetype(at) + 4, 4);
        const QByteArrayView body = data.sliced(qsizetype(at) + 8, qsizetype(*length));
        if (at == kSignatureSize) {
            // libpng takes nothing before the header.
            if (type != QByteArrayView("IHDR") || body.size() != 13 || !(header = headerOf(body)))
                return DataFault::Damaged;
        } else if (type == QByteArrayView("PLTE")) {
            palette = true;
        } else if (type == QByteArrayView("IDAT")) {
            if (header->needsPalette && !palette) return DataFault::Damaged;
            // libpng decodes the first run of IDAT chunks and no later one.
            if (!idatsEnded) idats.emplace_back(at + 8, std::int64_t(*length));
        } else if (type == QByteArrayView("IEND")) {
            if (idats.empty()) return DataFault::Damaged;
            return checkImageData(data, *header, idats);
        } else if (!idats.empty()) {
            idatsEnded = true;
        }
        at += 12 + std::int64_t(*length);
    }
}

}  // namespace vastrel::image::checks
