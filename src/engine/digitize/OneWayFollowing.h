#pragma once
// Following the curve from its seed one way, column by column, along its
// course (the rules are told in CurveFollowing.h).

#include <cstddef>
#include <vector>

#include "engine/digitize/ColourRuns.h"
#include "engine/digitize/CurveFollowing.h"
#include "engine/digitize/RunChains.h"

namespace vastrel::digitize {

struct Following {
    const ColourRuns& runs;
    double widest;             // the farthest a run may lie from the course and pick it up again
    std::size_t pieceColumns;  // how far the line goes on unbroken at the seed: short on a dashed curve
    std::vector<TrackColumn>& track;
};

// Fills `f.track` from `seed` on in `direction` (+1 or -1), starting with
// the curve's `thickness` there, as far as the curve goes.
void followOneWay(Following& f, RunAt seed, double thickness, int direction);

// A run's height in rows, and how far `row` lies outside it.
double heightOf(const ColourRun& run);
double distanceToRun(double row, const ColourRun& run);

}  // namespace vastrel::digitize
