#include "engine/digitize/MarkerCentre.h"

#include <algorithm>
#include <cmath>

namespace vastrel::digitize {

namespace {

// The middle of the ink in `column` within `reach` rows of `row`, and the
// rows it spans.
struct Extent {
    double middle = 0.0;
    double height = 0.0;
};

std::optional<Extent> extentAround(const ColourRuns& runs, std::size_t column, double row, double reach)
{
    std::optional<std::int64_t> top, bottom;
    for (const ColourRun& run : runs.column(column)) {
        if (run.alongLine || static_cast<double>(run.bottom) < row - reach ||
            static_cast<double>(run.top) > row + reach)
            continue;
        top = std::min(top.value_or(run.top), run.top);
        bottom = std::max(bottom.value_or(run.bottom), run.bottom);
    }
    if (!top) return std::nullopt;
    return Extent{0.5 * static_cast<double>(*top + *bottom), static_cast<double>(*bottom - *top + 1)};
}

}  // namespace

std::optional<MarkerCentre> symmetricMarkerCentre(const ColourRuns& runs, std::size_t first, std::size_t last,
                                                  double lineRows, const std::function<double(double)>& along)
{
    // Markers are a few pixels to a few dozen across.
    constexpr std::size_t kWidest = 40;
    // How far the middles a quarter of the width either side may lie from
    // the centre's: a circle's lie on it to within a pixel's rounding, a
    // triangle's half its height away.
    constexpr double kSymmetric = 1.0;
    if (first > last) std::swap(first, last);
    if (last - first + 1 > kWidest || last >= runs.columnCount()) return std::nullopt;

    // The marker's width: from its first column to its last with a run far
    // taller than the line (a filled marker's every column, a hollow one's
    // sides). The line running into it makes no such run.
    // A few columns beyond those the curve passed under too: where the line
    // runs into the marker's edge it may still show clear beside it.
    constexpr std::size_t kBeyond = 3;
    const double reach = static_cast<double>(last - first + 1) / 2.0 + 3.0;
    std::optional<std::size_t> left, right;
    const std::size_t from = first - std::min(first, kBeyond), to = std::min(last + kBeyond, runs.columnCount() - 1);
    for (std::size_t column = from; column <= to; ++column) {
        const double row = along(static_cast<double>(column));
        for (const ColourRun& run : runs.column(column)) {
            const double height = static_cast<double>(run.bottom - run.top + 1);
            if (run.alongLine || height < lineRows + 3.0 || static_cast<double>(run.bottom) < row - reach ||
                static_cast<double>(run.top) > row + reach)
                continue;
            if (!left) left = column;
            right = column;
        }
    }
    if (!left) return std::nullopt;
    const std::size_t middle = (*left + *right + 1) / 2;
    const auto extent = [&](std::size_t column) {
        return extentAround(runs, column, along(static_cast<double>(column)), reach);
    };
    const auto centre = extent(middle);
    if (!centre) return std::nullopt;
    const std::size_t quarter = std::max<std::size_t>(1, (*right - *left) / 4);
    for (const std::size_t column : {middle - quarter, middle + quarter}) {
        const auto side = extent(column);
        if (!side || std::fabs(side->middle - centre->middle) > kSymmetric) return std::nullopt;
    }
    return MarkerCentre{middle, centre->middle};
}

}  // namespace vastrel::digitize
