#include "engine/digitize/ColourRuns.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vastrel::digitize {

namespace {

inline int componentDistance(std::uint32_t value, int wanted)
{
    const int d = static_cast<int>(value & 0xFFu) - wanted;
    return d < 0 ? -d : d;
}

inline void closenessOfPixels(const std::uint32_t* __restrict src, std::uint8_t* __restrict out, std::size_t n,
                              const ColourTarget& t)
{
    const int red = t.red, green = t.green, blue = t.blue, limit = t.tolerance + 1;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t p = src[i];
        const int d = std::max(componentDistance(p >> 16, red),
                               std::max(componentDistance(p >> 8, green), componentDistance(p, blue)));
        const int c = limit - d;
        out[i] = static_cast<std::uint8_t>(c > 0 ? c : 0);
    }
}

#if defined(__SSE2__)
// Sixteen pixels at a time with byte arithmetic: the saturating differences
// both ways give each component's distance, the largest of the three is
// gathered in the low byte of each pixel, and the closeness comes from a
// saturating subtraction from the limit.
void closenessOfRow(const std::uint32_t* src, std::uint8_t* out, std::size_t n, const ColourTarget& t)
{
    const __m128i wanted = _mm_set1_epi32(
        static_cast<int>(static_cast<std::uint32_t>(t.red) << 16 | static_cast<std::uint32_t>(t.green) << 8 | t.blue));
    const __m128i colourBytes = _mm_set1_epi32(0x00FFFFFF);
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    const __m128i limit = _mm_set1_epi32(t.tolerance + 1);
    const auto closeness4 = [&](const std::uint32_t* p) {
        const __m128i px = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), colourBytes);
        const __m128i d = _mm_or_si128(_mm_subs_epu8(px, wanted), _mm_subs_epu8(wanted, px));
        const __m128i most = _mm_max_epu8(d, _mm_max_epu8(_mm_srli_epi32(d, 8), _mm_srli_epi32(d, 16)));
        return _mm_subs_epu8(limit, _mm_and_si128(most, lowByte));
    };
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_packs_epi32(closeness4(src + i), closeness4(src + i + 4));
        const __m128i b = _mm_packs_epi32(closeness4(src + i + 8), closeness4(src + i + 12));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
    }
    closenessOfPixels(src + i, out + i, n - i, t);
}
#else
void closenessOfRow(const std::uint32_t* src, std::uint8_t* out, std::size_t n, const ColourTarget& t)
{
    closenessOfPixels(src, out, n, t);
}
#endif

// The run being built in one column while the rows go by.
struct OpenRun {
    std::int64_t top = 0;
    std::int64_t weight = 0;
    std::int64_t weightedOffset = 0;  // sum of closeness x (row - top)
};

struct FinishedRun {
    std::size_t column;
    ColourRun run;
};

ColourRun finish(const OpenRun& open, std::int64_t bottom)
{
    ColourRun run;
    run.top = open.top;
    run.bottom = bottom;
    run.weight = static_cast<double>(open.weight);
    run.centre =
        static_cast<double>(open.top) + static_cast<double>(open.weightedOffset) / static_cast<double>(open.weight);
    return run;
}

std::uint64_t eightBytes(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

int closenessTo(const ColourTarget& target, std::uint32_t argb)
{
    std::uint8_t c = 0;
    closenessOfPixels(&argb, &c, 1, target);
    return c;
}

ColourRuns findColourRuns(const image::PixelView& view, const ScanWindow& window, const ColourTarget& target)
{
    const std::int64_t columnCount = window.columnCount();
    const IndexRange cols = view.pixels ? insideRange(window.firstColumn, columnCount, view.width) : IndexRange{};
    const IndexRange rows = view.pixels ? insideRange(window.firstRow, window.rowCount(), view.height) : IndexRange{};

    std::vector<FinishedRun> finished;
    if (!cols.empty() && !rows.empty()) {
        const auto n = static_cast<std::size_t>(cols.hi - cols.lo);
        const auto pixelColumn = static_cast<std::ptrdiff_t>(window.columnAt(cols.lo));
        const auto pixelRow0 = static_cast<std::ptrdiff_t>(window.rowAt(rows.lo));
        // Padded to whole words of eight, so that quiet stretches of a row are
        // skipped eight columns at a time; the padding never matches or opens.
        const std::size_t padded = (n + 7) / 8 * 8;
        std::vector<std::uint8_t> closeness(padded, 0), isOpen(padded, 0);
        std::vector<OpenRun> open(n);

        const std::uint32_t* src = view.pixels + pixelRow0 * view.stride + pixelColumn;
        for (std::int64_t j = rows.lo; j < rows.hi; ++j, src += view.stride) {
            closenessOfRow(src, closeness.data(), n, target);
            for (std::size_t w = 0; w < padded; w += 8) {
                if ((eightBytes(&closeness[w]) | eightBytes(&isOpen[w])) == 0) continue;
                for (std::size_t i = w; i < w + 8 && i < n; ++i) {
                    const int c = closeness[i];
                    if (c > 0) {
                        if (!isOpen[i]) open[i] = OpenRun{j, 0, 0};
                        isOpen[i] = 1;
                        open[i].weight += c;
                        open[i].weightedOffset += c * (j - open[i].top);
                    } else if (isOpen[i]) {
                        isOpen[i] = 0;
                        finished.push_back({static_cast<std::size_t>(cols.lo) + i, finish(open[i], j - 1)});
                    }
                }
            }
        }
        for (std::size_t i = 0; i < n; ++i)
            if (isOpen[i]) finished.push_back({static_cast<std::size_t>(cols.lo) + i, finish(open[i], rows.hi - 1)});
    }

    // Grouped by column; within a column the runs were finished top to bottom.
    std::vector<std::size_t> first(static_cast<std::size_t>(columnCount) + 1, 0);
    for (const FinishedRun& f : finished) ++first[f.column + 1];
    for (std::size_t i = 1; i < first.size(); ++i) first[i] += first[i - 1];
    std::vector<ColourRun> runs(finished.size());
    std::vector<std::size_t> next(first.begin(), first.end() - 1);
    for (const FinishedRun& f : finished) runs[next[f.column]++] = f.run;
    return ColourRuns(std::move(runs), std::move(first));
}

}  // namespace vastrel::digitize
