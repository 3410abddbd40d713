#include "engine/digitize/ColumnScan.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "engine/digitize/ScanWindow.h"

namespace vastrel::digitize {

namespace {

// Per-column key of the best pixel found so far: green in bits 23..30 and the
// row (counted from the first row of the band) in bits 0..22. The smaller key is
// the darker pixel, and among equally dark ones the upper; keys stay positive,
// so a signed compare is enough (SSE2 has no unsigned 32-bit compare).
using Key = std::int32_t;
constexpr int kRowBits = 23;
constexpr std::int64_t kBandRows = std::int64_t{1} << kRowBits;
constexpr Key kNoKey = 0x7FFFFFFF;  // green 255: never taken

inline Key keyOf(std::uint32_t argb, Key row)
{
    return static_cast<Key>((argb & 0xFF00u) << (kRowBits - 8)) | row;
}

inline void foldPixels(const std::uint32_t* __restrict src, Key* __restrict best, std::size_t n, Key row)
{
    for (std::size_t i = 0; i < n; ++i) {
        const Key k = keyOf(src[i], row);
        best[i] = k < best[i] ? k : best[i];
    }
}

// One picture row into the keys of all columns. The bulk goes in blocks of a
// fixed width, which compilers vectorise even at their cheapest vectoriser
// setting (it refuses loops whose trip count is not a known multiple of the
// vector width); the last partial block goes pixel by pixel.
void foldRow(const std::uint32_t* __restrict src, Key* __restrict best, std::size_t n, Key row)
{
    constexpr std::size_t kBlock = 32;
    std::size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) foldPixels(src + i, best + i, kBlock, row);
    foldPixels(src + i, best + i, n - i, row);
}

}  // namespace

std::vector<float> scanColumns(const image::PixelView& view, const References& refs)
{
    const ScanWindow win = scanWindowOf(refs);
    const std::int64_t columnCount = win.columnCount();
    const std::int64_t rowCount = win.rowCount();
    std::vector<float> rows(static_cast<std::size_t>(columnCount), 0.0f);
    if (columnCount == 0) return rows;

    // The columns and rows of the window that lie in the picture; all other
    // positions read as -1 (green 255) and are never taken, so they are skipped.
    const IndexRange cols = view.pixels ? insideRange(win.firstColumn, columnCount, view.width) : IndexRange{};
    const IndexRange rws = view.pixels ? insideRange(win.firstRow, rowCount, view.height) : IndexRange{};

    // Window row index taken in each column inside the picture, -1 for none.
    std::vector<std::int64_t> taken(static_cast<std::size_t>(cols.hi - cols.lo), -1);

    if (!cols.empty() && !rws.empty()) {
        const std::size_t n = taken.size();
        const auto pixelColumn = static_cast<std::ptrdiff_t>(win.columnAt(cols.lo));
        const auto pixelRow0 = static_cast<std::ptrdiff_t>(win.rowAt(rws.lo));

        std::vector<Key> keys(n);
        std::vector<int> bestGreen(n, 255);

        for (std::int64_t band = rws.lo; band < rws.hi; band += kBandRows) {
            const std::int64_t bandEnd = std::min(rws.hi, band + kBandRows);
            std::fill(keys.begin(), keys.end(), kNoKey);
            const std::uint32_t* src =
                view.pixels + (pixelRow0 + static_cast<std::ptrdiff_t>(band - rws.lo)) * view.stride + pixelColumn;
            for (std::int64_t j = band; j < bandEnd; ++j, src += view.stride)
                foldRow(src, keys.data(), n, static_cast<Key>(j - band));
            // Bands run top to bottom; a later band wins only when strictly darker.
            for (std::size_t i = 0; i < n; ++i) {
                const int green = keys[i] >> kRowBits;
                if (green < bestGreen[i]) {
                    bestGreen[i] = green;
                    taken[i] = band + (keys[i] & (kBandRows - 1));
                }
            }
        }
    }

    // Columns where nothing was taken repeat the row before; 0 before the first.
    float row = 0.0f;
    for (std::int64_t i = 0; i < columnCount; ++i) {
        if (i >= cols.lo && i < cols.hi) {
            const std::int64_t j = taken[static_cast<std::size_t>(i - cols.lo)];
            if (j >= 0) row = static_cast<float>(win.rowAt(j));
        }
        rows[static_cast<std::size_t>(i)] = row;
    }
    return rows;
}

}  // namespace vastrel::digitize
