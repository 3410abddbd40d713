#include "engine/digitize/CurveFollowing.h"

#include "engine/digitize/OneWayFollowing.h"
#include "engine/digitize/RunChains.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vastrel::digitize {

namespace {

// The curve's own thickness at the seed: its run's height less what its
// slope adds.
double thicknessAt(const ColourRuns& runs, RunAt seed)
{
    const ColourRun& run = runs.column(seed.column)[seed.index];
    auto slope = onwardFrom(runs, seed.column, seed.index, +1, 6).slope;
    if (!slope) slope = onwardFrom(runs, seed.column, seed.index, -1, 6).slope;
    return std::max(1.0, heightOf(run) - std::fabs(slope.value_or(0.0)));
}

}  // namespace

std::vector<TrackColumn> followCurve(const ColourRuns& runs, std::optional<RunAt> anchor, std::int64_t windowRows)
{
    if (runs.totalRuns() == 0) return std::vector<TrackColumn>(runs.columnCount());
    const double widest = std::max(16.0, static_cast<double>(windowRows) / 8.0);
    const auto followedFrom = [&](RunAt seed) {
        std::vector<TrackColumn> track(runs.columnCount());
        track[seed.column].row = runs.column(seed.column)[seed.index].centre;
        constexpr std::size_t kPiece = 64;
        const std::size_t piece = 1 + onwardFrom(runs, seed.column, seed.index, +1, kPiece).steps +
                                  onwardFrom(runs, seed.column, seed.index, -1, kPiece).steps;
        Following following{runs, widest, piece, track};
        const double thickness = thicknessAt(runs, seed);
        followOneWay(following, seed, thickness, +1);
        followOneWay(following, seed, thickness, -1);
        return track;
    };
    const auto columnsCovered = [](const std::vector<TrackColumn>& track) {
        const auto found = [](const TrackColumn& c) { return c.row.has_value(); };
        const auto first = std::find_if(track.begin(), track.end(), found);
        const auto last = std::find_if(track.rbegin(), track.rend(), found);
        return first == track.end() ? std::size_t{0}
                                    : static_cast<std::size_t>(track.rend() - last - (first - track.begin()));
    };

    // A legend's line sample is a short level line, and the curve followed
    // from it ends with it. A dash of a dashed curve is as short, but the
    // curve followed from it goes on; a chain that climbs or falls is a
    // stretch of a steep curve broken into pieces by its thin line: the
    // place the user clicked is then the place to start from.
    constexpr std::int64_t kLevelRows = 6;
    constexpr std::size_t kShortestSample = 8;
    constexpr std::size_t kMarkerReach = 24;
    if (!anchor) return followedFrom(RunChains(runs).middleOfLongest());
    // A click on a marker starts the curve where its line leaves it.
    std::vector<TrackColumn> track = followedFrom(thinNear(runs, *anchor, kMarkerReach));
    // No chain is longer than the window is wide.
    if (4 * columnsCovered(track) >= runs.columnCount()) return track;
    RunChains chains(runs);
    const RunAt longest = chains.middleOfLongest();
    const std::size_t clicked = chains.indexOf(*anchor);
    const std::size_t span = chains.span(clicked), longestSpan = chains.span(chains.indexOf(longest));
    const bool likeASample =
        span >= kShortestSample && chains.height(clicked) <= kLevelRows && 4 * columnsCovered(track) < longestSpan;
    return likeASample ? followedFrom(longest) : track;
}

}  // namespace vastrel::digitize
