#pragma once
// Choosing, in every column, the run of the curve's colour that continues the
// curve, so that a legend sample, a label or a second feature of the same
// colour does not take its place.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/digitize/ColourRuns.h"
#include "engine/digitize/RunChains.h"

namespace vastrel::digitize {

// What the following found in one column of the window.
struct TrackColumn {
    std::optional<double> row;  // the curve's row (window rows): a run's centre, or a marker's
    bool crossed = false;       // the curve passes here under a mark of its colour: a marker, a line
};

// Per column what the curve shows there.
//
// The following starts at a seed run and goes outwards column by column, left
// and right, along the curve's course: its slope and bend over the last
// columns taken (CurveCourse.h). A column is clear where one run alone lies
// near the course, as thin as the curve is there, or one within reach with
// the others well apart (another curve, a label beside it): that run is the
// curve. Where the run is far taller than the curve (a filled marker, a line
// across it), or runs lie on both sides of the course and none on it (the
// sides of a hollow marker), the column is crossed: the curve passes under a
// mark of its colour, and its row is left to the columns on either side;
// where that mark is a symmetric marker, the curve's row at its middle is
// the marker's centre (MarkerCentre.h), and a curve ending in one ends there.
// The reach widens with every column not taken, up to an eighth of the
// `windowRows`. Across a gap, a line that turns away from the course, or goes
// on as another curve of the same colour came into a crossing, is not the
// curve; after a long gap of nothing, only a line that goes on as far as the
// seed's picks the curve up again, and past a marker only one that leaves
// it. Pieces of straight lines across the window (StraightLines.h) are taken
// only where the course runs along them.
//
// The seed is `anchor` (the run under the pixel the user took the colour
// from), unless its chain of touching runs is short and level and the curve
// followed from it spans less than a quarter of the longest chain: a click
// on a legend sample inside the plot must not lead the curve astray, while a
// dash of a dashed curve leads on. The longest chain seeds it then, and
// without an anchor.
std::vector<TrackColumn> followCurve(const ColourRuns& runs, std::optional<RunAt> anchor, std::int64_t windowRows);

}  // namespace vastrel::digitize
