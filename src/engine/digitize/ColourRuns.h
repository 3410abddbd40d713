#pragma once
// The places in every column of a scan window where a chosen colour shows:
// runs of vertically adjacent pixels whose red, green and blue each lie within
// a tolerance of the colour's.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/digitize/ScanWindow.h"
#include "engine/image/PixelView.h"

namespace vastrel::digitize {

struct ColourTarget {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    int tolerance = 0;  // 0 .. 254
};

// Closeness of a pixel (0xAARRGGBB) to the target: tolerance + 1 less the
// largest difference of its components, so 1 .. tolerance + 1 for a pixel that
// matches and 0 for one that does not.
int closenessTo(const ColourTarget& target, std::uint32_t argb);

// Rows are window row indices: row j of the window is at firstRow + j.
struct ColourRun {
    std::int64_t top = 0;     // first row of the run
    std::int64_t bottom = 0;  // last row of the run, included
    double centre = 0.0;      // the rows weighted by their closeness
    double weight = 0.0;      // the sum of the closeness, a measure of its strength
    bool alongLine = false;   // the run lies on a straight line across the window (StraightLines.h)

    bool touches(const ColourRun& other) const { return top <= other.bottom + 1 && other.top <= bottom + 1; }
};

// The runs of every column of the window, each column's from top to bottom.
class ColourRuns {
public:
    ColourRuns() = default;
    ColourRuns(std::vector<ColourRun> runs, std::vector<std::size_t> firstOfColumn)
        : runs_(std::move(runs)), first_(std::move(firstOfColumn))
    {}

    std::size_t columnCount() const { return first_.empty() ? 0 : first_.size() - 1; }
    std::span<const ColourRun> column(std::size_t i) const
    {
        return std::span<const ColourRun>(runs_).subspan(first_[i], first_[i + 1] - first_[i]);
    }
    // Index of a run over all columns, for bookkeeping across columns.
    std::size_t firstIndexOf(std::size_t column) const { return first_[column]; }
    std::size_t totalRuns() const { return runs_.size(); }

private:
    std::vector<ColourRun> runs_;
    std::vector<std::size_t> first_;  // columnCount + 1 entries
};

// Reads the window row by row, clipped to the picture; positions outside it
// never match.
ColourRuns findColourRuns(const image::PixelView& view, const ScanWindow& window, const ColourTarget& target);

}  // namespace vastrel::digitize
