#include "engine/digitize/StraightLines.h"

#include <algorithm>
#include <cmath>

namespace vastrel::digitize {

namespace {

// Below this many rows or columns a window is too small to tell a line
// across it from a stretch of the curve.
constexpr std::int64_t kSmallest = 20;
constexpr double kLeastCover = 1.0 / 3.0;
constexpr double kEnds = 0.1;

// Whether marks covering `covered` of `length` positions, from `first` to
// `last`, make a line across all of them.
bool isLine(std::int64_t covered, std::int64_t first, std::int64_t last, std::int64_t length)
{
    const auto n = static_cast<double>(length);
    return static_cast<double>(covered) >= kLeastCover * n && static_cast<double>(first) <= kEnds * n &&
           static_cast<double>(last) >= (1.0 - kEnds) * n - 1.0;
}

}  // namespace

bool StraightLines::anyAlongRows() const
{
    return std::find(rows.begin(), rows.end(), true) != rows.end();
}

StraightLines findStraightLines(const ColourRuns& runs, std::int64_t windowRows)
{
    const std::size_t width = runs.columnCount();
    StraightLines lines{std::vector<bool>(width, false),
                        std::vector<bool>(static_cast<std::size_t>(windowRows), false)};
    if (windowRows < kSmallest || static_cast<std::int64_t>(width) < kSmallest) return lines;

    for (std::size_t col = 0; col < width; ++col) {
        const auto column = runs.column(col);
        if (column.empty()) continue;
        std::int64_t covered = 0;
        for (const ColourRun& run : column) covered += run.bottom - run.top + 1;
        lines.columns[col] = isLine(covered, column.front().top, column.back().bottom, windowRows);
    }

    // Along every row: how many of the columns that no vertical line takes
    // cover it, and the first and last.
    const auto height = static_cast<std::size_t>(windowRows);
    std::vector<std::int64_t> covered(height, 0), first(height, INT64_MAX), last(height, -1);
    for (std::size_t col = 0; col < width; ++col) {
        if (lines.columns[col]) continue;
        for (const ColourRun& run : runs.column(col)) {
            for (std::int64_t r = std::max<std::int64_t>(run.top, 0); r <= run.bottom && r < windowRows; ++r) {
                const auto k = static_cast<std::size_t>(r);
                ++covered[k];
                first[k] = std::min(first[k], static_cast<std::int64_t>(col));
                last[k] = static_cast<std::int64_t>(col);
            }
        }
    }
    for (std::size_t r = 0; r < height; ++r)
        lines.rows[r] = covered[r] > 0 && isLine(covered[r], first[r], last[r], static_cast<std::int64_t>(width));
    return lines;
}

ColourRuns withStraightLinesMarked(const ColourRuns& runs, const StraightLines& lines)
{
    std::vector<ColourRun> marked;
    std::vector<std::size_t> first{0};
    marked.reserve(runs.totalRuns());
    const auto onLine = [&lines](std::int64_t row) {
        return row >= 0 && row < static_cast<std::int64_t>(lines.rows.size()) &&
               lines.rows[static_cast<std::size_t>(row)];
    };
    for (std::size_t col = 0; col < runs.columnCount(); ++col) {
        for (const ColourRun& run : runs.column(col)) {
            // A vertical line's run stays whole: cut at every grid row it
            // crosses, its pieces would look as thin as the curve.
            if (lines.acrossColumn(col)) {
                marked.push_back(run);
                continue;
            }
            const double height = static_cast<double>(run.bottom - run.top + 1);
            std::int64_t top = run.top;
            for (std::int64_t r = run.top + 1; r <= run.bottom + 1; ++r) {
                if (r <= run.bottom && onLine(r) == onLine(top)) continue;
                if (top == run.top && r > run.bottom) {
                    // Wholly off the lines or wholly on them (a level curve
                    // along a line): the run as it was found.
                    marked.push_back(run);
                    marked.back().alongLine = onLine(top);
                    break;
                }
                // A piece's pixels are as strong as the whole run's on average.
                marked.push_back(ColourRun{top, r - 1, 0.5 * static_cast<double>(top + r - 1),
                                           run.weight * static_cast<double>(r - top) / height, onLine(top)});
                top = r;
            }
        }
        first.push_back(marked.size());
    }
    return ColourRuns(std::move(marked), std::move(first));
}

}  // namespace vastrel::digitize
