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

std::optional<MarkerSpan> markerSpan(const ColourRuns& runs, std::size_t first, std::size_t last, double lineRows,
                                     const std::function<double(double)>& along)
{
    if (first > last) std::swap(first, last);
    if (last >= runs.columnCount()) return std::nullopt;
    const double reach = static_cast<double>(last - first + 1) / 2.0 + 3.0;
    // A few columns beyond those the curve passed under too: where the line
    // runs into the marker's edge it may still show clear beside it.
    constexpr std::size_t kBeyond = 3;
    // Tall is at least half the tallest run: the line merging with a
    // corner of the marker makes a run taller than the line, not as tall.
    const std::size_t from = first - std::min(first, kBeyond), to = std::min(last + kBeyond, runs.columnCount() - 1);
    const auto runsOfMarker = [&](const auto& visit) {
        for (std::size_t column = from; column <= to; ++column) {
            const double row = along(static_cast<double>(column));
            for (const ColourRun& run : runs.column(column))
                if (!run.alongLine && static_cast<double>(run.bottom) >= row - reach &&
                    static_cast<double>(run.top) <= row + reach)
                    visit(column, static_cast<double>(run.bottom - run.top + 1));
        }
    };
    double tallest = 0.0;
    runsOfMarker([&](std::size_t, double height) { tallest = std::max(tallest, height); });
    const double tall = std::max(lineRows + 3.0, 0.5 * tallest);
    // Its middle is where its tall runs weigh even, by height: a run the
    // line adds at one side moves it less than it moves that side.
    std::optional<std::size_t> left, right;
    double moment = 0.0, weight = 0.0;
    runsOfMarker([&](std::size_t column, double height) {
        if (height < tall) return;
        if (!left) left = column;
        right = column;
        moment += height * static_cast<double>(column);
        weight += height;
    });
    if (!left) return std::nullopt;
    return MarkerSpan{static_cast<std::size_t>(std::lround(moment / weight)), *right - *left + 1};
}

std::optional<MarkerCentre> symmetricMarkerCentre(const ColourRuns& runs, std::size_t first, std::size_t last,
                                                  double lineRows, const std::function<double(double)>& along)
{
    // Markers are a few pixels to a few dozen across.
    constexpr std::size_t kWidest = 40;
    // How far the middles of the columns this share of the width either
    // side may lie from the centre's: a circle's lie on it to within a
    // pixel's rounding, a triangle's a third of its height away.
    constexpr double kSymmetric = 1.0;
    constexpr double kInner = 0.3;
    if (first > last) std::swap(first, last);
    if (last - first + 1 > kWidest || last >= runs.columnCount()) return std::nullopt;
    const auto span = markerSpan(runs, first, last, lineRows, along);
    if (!span) return std::nullopt;
    const std::size_t middle = span->middle;
    const double reach = static_cast<double>(last - first + 1) / 2.0 + 3.0;
    const auto extent = [&](std::size_t column) {
        return extentAround(runs, column, along(static_cast<double>(column)), reach);
    };
    const auto centre = extent(middle);
    if (!centre) return std::nullopt;
    // Both sides together: a line running on through the marker stretches
    // one side up as much as the other down.
    const auto inner =
        std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(kInner * static_cast<double>(span->width))));
    if (middle < inner || middle + inner >= runs.columnCount()) return std::nullopt;
    const auto before = extent(middle - inner), after = extent(middle + inner);
    if (!before || !after || std::fabs(0.5 * (before->middle + after->middle) - centre->middle) > kSymmetric)
        return std::nullopt;
    return MarkerCentre{middle, centre->middle};
}

std::size_t markerStart(const ColourRuns& runs, std::size_t column, int direction, double lineRows,
                        const std::function<double(double)>& along, std::size_t widest)
{
    constexpr std::size_t kHoles = 4;
    const double reach = static_cast<double>(widest) / 2.0;
    std::size_t start = column, holes = 0;
    for (std::size_t steps = 1; steps < widest; ++steps) {
        const auto col = static_cast<std::ptrdiff_t>(column) + direction * static_cast<std::ptrdiff_t>(steps);
        if (col < 0 || col >= static_cast<std::ptrdiff_t>(runs.columnCount())) break;
        const auto extent = extentAround(runs, static_cast<std::size_t>(col), along(static_cast<double>(col)), reach);
        if (extent && extent->height >= lineRows + 3.0) {
            start = static_cast<std::size_t>(col);
            holes = 0;
        } else if (++holes > kHoles) {
            break;
        }
    }
    return start;
}

}  // namespace vastrel::digitize
