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

// The marker covering columns `first` .. `last` (in either order) around the
// rows `along` gives for each column, on a line `lineRows` tall in a column:
// the middle of its width, and there the middle of its height, where the
// marker is as tall above that row as below it a quarter of its width either
// side. Nothing for a marker that is not (a triangle has its point off the
// middle of its height), nor where the line leaving it steeply stretches
// it, nor for one without a part far taller than the line (a thin cross):
// there the line either side tells where its data point is.
std::optional<MarkerCentre> symmetricMarkerCentre(const ColourRuns& runs, std::size_t first, std::size_t last,
                                                  double lineRows, const std::function<double(double)>& along);

}  // namespace vastrel::digitize
