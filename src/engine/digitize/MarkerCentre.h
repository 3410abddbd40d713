#pragma once
// The centre of a marker that a curve passes under, from the marker itself:
// plotting programs draw a symmetric marker (a circle, a square, a diamond, a
// cross) centred on its data point, and may put it on a whole pixel, so its
// middle is where the user sees the point.

#include <cstddef>
#include <functional>
#include <optional>

#include "engine/digitize/ColourRuns.h"

namespace vastrel::digitize {

struct MarkerCentre {
    std::size_t column = 0;
    double row = 0.0;  // window rows
};

// Where a marker lies across the columns: its middle column and how many it
// spans.
struct MarkerSpan {
    std::size_t middle = 0;
    std::size_t width = 0;
};

// The marker around the columns `first` .. `last` (in either order) and the
// rows `along` gives for each, on a line `lineRows` tall in a column: the
// columns from its first to its last with a run far taller than the line (a
// filled marker's every column, a hollow one's sides, a plus sign's bar),
// looking a few columns beyond them too. Nothing where there is no such run.
std::optional<MarkerSpan> markerSpan(const ColourRuns& runs, std::size_t first, std::size_t last, double lineRows,
                                     const std::function<double(double)>& along);

// The marker covering columns `first` .. `last` (in either order) around the
// rows `along` gives for each column, on a line `lineRows` tall in a column:
// the middle of its width, and there the middle of its height, where the
// marker is as tall above that row as below it across the inner part of its
// width. Nothing for a marker that is not (a triangle has its point off the
// middle of its height), nor where the line leaving it steeply stretches
// it, nor for one without a part far taller than the line (a thin cross):
// there the line either side tells where its data point is.
std::optional<MarkerCentre> symmetricMarkerCentre(const ColourRuns& runs, std::size_t first, std::size_t last,
                                                  double lineRows, const std::function<double(double)>& along);

// The first column of a marker reaching back from `column` in `direction`
// (+1 or -1): as long as the ink around the rows `along` gives stands at
// least three rows taller than the line, a few columns where it does not
// aside, up to `widest` columns.
std::size_t markerStart(const ColourRuns& runs, std::size_t column, int direction, double lineRows,
                        const std::function<double(double)>& along, std::size_t widest);

}  // namespace vastrel::digitize
