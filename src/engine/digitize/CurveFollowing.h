#pragma once
// Choosing, in every column, the run of the curve's colour that continues the
// curve, so that a legend sample, a label or a second feature of the same
// colour does not take its place.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/digitize/ColourRuns.h"

namespace vastrel::digitize {

struct RunAt {
    std::size_t column = 0;
    std::size_t index = 0;  // within the column, from the top
};

// Per column the centre (window row units) of the run chosen as the curve,
// or nothing where no run continues it.
//
// The following starts at a seed run and goes outwards column by column, left
// and right. A run that touches the last one taken (including diagonally)
// continues the curve; of several, the one nearest the row the recent slope
// predicts wins. Where none touches, the curve is taken to be hidden or
// broken, and the nearest run within a reach that widens with every column
// of the gap, up to an eighth of the `windowRows`, picks it up again.
//
// The seed is `anchor` (the run under the pixel the user took the colour
// from), unless the chain of touching runs through it is level and spans less
// than a quarter of the longest chain: a click on a legend sample inside the
// plot must not lead the curve astray. Without a usable anchor the longest
// chain seeds it.
std::vector<std::optional<double>> followCurve(const ColourRuns& runs, std::optional<RunAt> anchor,
                                               std::int64_t windowRows);

}  // namespace vastrel::digitize
