#include "engine/digitize/CurveFollowing.h"

#include "engine/digitize/CurveCourse.h"
#include "engine/digitize/MarkerCentre.h"
#include "engine/digitize/RunChains.h"
#include "engine/digitize/TrackLine.h"

#include <cmath>
#include <cstdlib>
#include <algorithm>
#include <cstdint>
#include <span>
#include <utility>

namespace vastrel::digitize {

namespace {

double distanceToRun(double row, const ColourRun& run)
{
    if (row < static_cast<double>(run.top)) return static_cast<double>(run.top) - row;
    if (row > static_cast<double>(run.bottom)) return row - static_cast<double>(run.bottom);
    return 0.0;
}

double heightOf(const ColourRun& run)
{
    return static_cast<double>(run.bottom - run.top + 1);
}

struct Following {
    const ColourRuns& runs;
    double widest;             // the farthest a run may lie from the course and pick it up again
    std::size_t pieceColumns;  // how far the line goes on unbroken at the seed: short on a dashed curve
    std::vector<TrackColumn>& track;
};

// Whether `run` touches one of `runs` (those of the column before).
bool touchesAny(const ColourRun& run, const std::vector<ColourRun>& runs)
{
    return std::any_of(runs.begin(), runs.end(), [&](const ColourRun& other) { return run.touches(other); });
}

// Replaces `runs` (of the column before) by those of `column` that touch
// one of them, off the lines across the window.
void keepTouching(std::vector<ColourRun>& runs, std::span<const ColourRun> column, std::vector<ColourRun>& scratch)
{
    if (runs.empty()) return;
    scratch.clear();
    for (const ColourRun& run : column)
        if (!run.alongLine && touchesAny(run, runs)) scratch.push_back(run);
    runs.swap(scratch);
}

// Another line of the curve's colour close beside it: its course, so that
// where the two cross, the curve is not continued along it.
struct Rival {
    // Columns after which a line last seen is forgotten.
    static constexpr std::ptrdiff_t kMemory = 40;
    CurveCourse course;
    std::ptrdiff_t lastSeen = 0;

    bool follows(std::ptrdiff_t col) const
    {
        return !course.empty() && course.pointCount() >= 3 && std::abs(col - lastSeen) <= kMemory;
    }
    // Notes the run nearest the rival's course (or, where none is known, the
    // course of the curve at `predicted`) other than `taken`, if any, where
    // it is part of a `line` (not a marker's side, a label's stroke).
    template <typename IsLine>
    void see(std::ptrdiff_t col, std::span<const ColourRun> column, const ColourRun* taken, double within,
             double predicted, const IsLine& line)
    {
        const bool known = !course.empty() && std::abs(col - lastSeen) <= kMemory;
        const double expected = known ? course.rowAt(static_cast<double>(col)) : predicted;
        const ColourRun* nearest = nullptr;
        for (const ColourRun& run : column)
            if (&run != taken && !run.alongLine && std::fabs(run.centre - predicted) <= within &&
                (!nearest || std::fabs(run.centre - expected) < std::fabs(nearest->centre - expected)))
                nearest = &run;
        if (!nearest || !line(*nearest)) return;
        if (known && std::fabs(nearest->centre - expected) <= 3.0)
            course.add(static_cast<double>(col), nearest->centre);
        else
            course.restart(static_cast<double>(col), nearest->centre);
        lastSeen = col;
    }
};

// Where the columns `from` .. `to` that the curve passed under hold a
// symmetric marker on its course, its data point is the marker's centre.
bool markAtMarkerCentre(Following& f, const CurveCourse& course, double lineRows, std::ptrdiff_t from,
                        std::ptrdiff_t to)
{
    const auto centre = symmetricMarkerCentre(f.runs, static_cast<std::size_t>(from), static_cast<std::size_t>(to),
                                              lineRows, [&course](double column) { return course.rowAt(column); });
    if (!centre) return false;
    const double width = static_cast<double>(std::abs(to - from) + 1);
    if (std::fabs(centre->row - course.rowAt(static_cast<double>(centre->column))) > 2.0 + 0.1 * width) return false;
    f.track[centre->column].row = centre->row;
    return true;
}

// Where the curve ends in a marker (its last data point), the columns just
// beyond the last taken are crossed and nothing follows: the curve ends at
// the marker's middle, along its course.
void endInMarker(Following& f, const CurveCourse& course, double lineRows, std::ptrdiff_t lastTaken, int direction)
{
    constexpr std::ptrdiff_t kHoles = 2, kWidest = 32;
    const auto count = static_cast<std::ptrdiff_t>(f.track.size());
    std::ptrdiff_t start = -1, end = -1, holes = 0;
    for (std::ptrdiff_t col = lastTaken + direction; col >= 0 && col < count; col += direction) {
        const TrackColumn& here = f.track[static_cast<std::size_t>(col)];
        if (here.row) return;  // the other way's following got here
        if (here.crossed) {
            if (start < 0) start = col;
            end = col;
            holes = 0;
        } else if (++holes > kHoles) {
            break;
        }
    }
    if (start < 0 || std::abs(end - start) + 1 < 3 || std::abs(end - start) + 1 > kWidest) return;
    // The marker may begin before the columns the curve passed under: a
    // cross's arms, or a see-through circle's outline, stand out around the
    // line that runs on to its middle.
    const auto along = [&course](double column) { return course.rowAt(column); };
    start = static_cast<std::ptrdiff_t>(markerStart(f.runs, static_cast<std::size_t>(start), -direction, lineRows,
                                                    along, static_cast<std::size_t>(kWidest)));
    if (markAtMarkerCentre(f, course, lineRows, start, end)) return;
    const auto span =
        markerSpan(f.runs, static_cast<std::size_t>(start), static_cast<std::size_t>(end), lineRows, along);
    const std::ptrdiff_t middle = span ? static_cast<std::ptrdiff_t>(span->middle) : (start + end) / 2;
    // Along the line the curve ran in on, and nothing of it beyond its last
    // data point.
    const auto line = lineThrough(f.track, static_cast<std::size_t>(lastTaken), -direction);
    for (std::ptrdiff_t col = middle + direction; (col - lastTaken) * direction <= 0; col += direction)
        f.track[static_cast<std::size_t>(col)].row.reset();
    f.track[static_cast<std::size_t>(middle)].row =
        line ? line->at(static_cast<double>(middle)) : course.rowAt(static_cast<double>(middle));
}

// Follows the curve from the seed one way, column by column, along its
// course. A column is clear where one run alone lies near the course and it
// is as thin as the curve is there: that run is the curve. Where more lie
// near it, or one far thicker (a marker, a line across the curve, a tick, a
// label beside it), the column is crossed and the course carries on across
// it, as across a column where nothing shows. A clear run far from the course
// is taken only where it alone joins the last run taken through the columns
// between, as after a sharp bend; across a gap where nothing covered the
// curve (a dash's gap), never one that turns away from the course. A piece of
// a straight line across the window is taken only where nothing else is near
// and the course runs along it: a level curve on a grid line.
void followFrom(Following& f, RunAt seed, double thickness, int direction)
{
    // Runs weaker than this share of the curve's are a JPEG's specks, unless
    // joined to the curve.
    constexpr double kSpeck = 0.25;
    // The steepest course, in rows per column, that runs along a level line.
    constexpr double kAlongLine = 0.35;
    // Columns of nothing after which the curve may have ended, and how far
    // a run must then go on to be its continuation.
    constexpr std::ptrdiff_t kLongGap = 12;
    constexpr std::size_t kGoesOn = 10;
    constexpr std::size_t kPastMark = 3;
    // Rows between a run and any other for it to stand apart, beyond the
    // curve's own.
    constexpr double kApart = 3.0;
    const ColourRun& seedRun = f.runs.column(seed.column)[seed.index];
    // The course starts with the line behind the seed, so that its first
    // steps already know its slope: a steep line's runs are tall.
    constexpr std::size_t kBehind = 8;
    CurveCourse course;
    const Onward behind = onwardFrom(f.runs, seed.column, seed.index, -direction, kBehind, true);
    for (auto it = behind.centres.rbegin(); it != behind.centres.rend(); ++it)
        course.add(static_cast<double>(it->first), it->second);
    course.add(static_cast<double>(seed.column), seedRun.centre);
    auto lastTaken = static_cast<std::ptrdiff_t>(seed.column);
    auto lastSeen = lastTaken;               // the last column taken or crossed
    double weight = seedRun.weight;          // a run's weight where the curve shows clear
    bool crossedSince = false;               // a column crossed since the last run taken
    std::vector<ColourRun> linked{seedRun};  // the runs joined to the last taken, in the column before
    std::vector<ColourRun> passingBy;        // those of another curve going its own way, in the column before
    std::vector<ColourRun> scratch;
    Rival rival;

    const auto count = static_cast<std::ptrdiff_t>(f.runs.columnCount());
    for (std::ptrdiff_t col = lastTaken + direction; col >= 0 && col < count; col += direction) {
        const auto column = f.runs.column(static_cast<std::size_t>(col));
        keepTouching(linked, column, scratch);
        keepTouching(passingBy, column, scratch);
        if (column.empty()) continue;

        const auto gap = static_cast<std::size_t>(std::abs(col - lastTaken) - 1);
        const double predicted = course.rowAt(static_cast<double>(col));
        const double slope = course.slopeAt(static_cast<double>(col));
        const double own = thickness + std::fabs(slope);  // the rows the curve covers in one column
        const double gapRows = static_cast<double>(gap);
        const double reach = std::min(1.5 + 0.5 * own + 0.5 * gapRows + 0.02 * gapRows * gapRows, f.widest);
        const double neighbourhood = std::max(10.0, 3.0 * own + 4.0);
        const auto distance = [predicted](const ColourRun& run) { return distanceToRun(predicted, run); };
        const auto clear = [own](const ColourRun& run) { return heightOf(run) <= own + 2.0; };
        const auto significant = [&](const ColourRun& run) {
            return run.weight >= kSpeck * weight || touchesAny(run, linked);
        };

        // A line that came in clear from a while back: another curve, where
        // it is not this one (a marker's side comes from the marker).
        const auto cameInClear = [&](const ColourRun& run) {
            const auto k = static_cast<std::size_t>(&run - column.data());
            const Onward onward = onwardFrom(f.runs, static_cast<std::size_t>(col), k, -direction, kGoesOn);
            return onward.steps >= kGoesOn &&
                   static_cast<double>(onward.tallest) <= thickness + std::fabs(onward.slope.value_or(0.0)) + 3.0;
        };
        const ColourRun* near = nullptr;  // the nearest of the runs near the course
        const ColourRun* line = nullptr;  // the nearest piece of a line near it
        int nearCount = 0;
        for (const ColourRun& run : column) {
            if (distance(run) > neighbourhood) continue;
            if (run.alongLine) {
                if (!line || distance(run) < distance(*line)) line = &run;
            } else if (significant(run)) {
                ++nearCount;
                if (!near || distance(run) < distance(*near)) near = &run;
            }
        }

        // Runs above and below the course and none on it: the two sides of
        // a hollow marker that the curve passes under.
        bool above = false, below = false, on = false;
        for (const ColourRun& run : column) {
            if (run.alongLine || distance(run) > neighbourhood || !significant(run)) continue;
            on = on || distance(run) <= 0.5;
            above = above || static_cast<double>(run.bottom) < predicted;
            below = below || static_cast<double>(run.top) > predicted;
        }
        const bool straddled = above && below && !on;
        // Of several near runs the nearest is the curve where it alone lies
        // within reach and the others keep well apart: another curve or a
        // label beside it, not the two sides of a marker around it.
        // A run right on the course needs only a clear gap to the others.
        const auto alone = [&](const ColourRun& run) {
            if (straddled) return false;
            const bool onCourse = distance(run) <= std::max(1.0, 0.25 * reach);
            for (const ColourRun& other : column) {
                if (&other == &run || other.alongLine || !significant(other) || distance(other) > neighbourhood)
                    continue;
                const double apart =
                    onCourse ? static_cast<double>(std::max(other.top - run.bottom, run.top - other.bottom)) - 1.0
                             : distanceToRun(run.centre, other) - own;
                if (apart < kApart - (onCourse ? 1.0 : 0.0)) return false;
            }
            return true;
        };
        const ColourRun* taken = nullptr;
        bool restart = false;
        bool passing = false;  // what lies near is another curve going its own way, or a speck
        if (nearCount >= 1 && clear(*near) && distance(*near) <= reach && !straddled &&
            (nearCount == 1 || alone(*near))) {
            taken = near;
            const auto k = static_cast<std::size_t>(near - column.data());
            const auto itsSlope = [&] { return slopeThrough(f.runs, static_cast<std::size_t>(col), k, 8); };
            // Across a gap of nothing, a line turning away is another curve.
            if (gap > 0 && !crossedSince && course.settled()) {
                const auto onward = itsSlope();
                if (onward && std::fabs(*onward - slope) > 0.35 + 0.35 * std::fabs(slope)) taken = nullptr;
            }
            passing = !taken;
            if (passing) rival.see(col, column, nullptr, neighbourhood, predicted, cameInClear);
            // After a long stretch of nothing the curve may have ended: a
            // speck, a tick or a label's stroke ahead does not go on for long.
            // A dash of a dashed curve is as short as the one it was
            // followed from.
            if (taken && std::abs(col - lastSeen) - 1 > kLongGap) {
                const std::size_t least = std::min(kGoesOn, f.pieceColumns - std::min(f.pieceColumns, kPastMark));
                if (onwardFrom(f.runs, static_cast<std::size_t>(col), k, direction, least).steps < least)
                    taken = nullptr, passing = true;
            }
            // Past a mark the curve ran under, its own line goes on clear;
            // the mark's far edge, or a side of a marker, does not.
            const std::size_t pastMark = std::min(kPastMark, f.pieceColumns - 1);
            const auto leaving = [&] {
                const Onward onward = onwardFrom(f.runs, static_cast<std::size_t>(col), k, direction, pastMark);
                return onward.steps >= pastMark && static_cast<double>(onward.tallest) <= own + 2.0;
            };
            if (taken && crossedSince && gap > 0 && !leaving()) taken = nullptr;
            // After a crossing, the line that goes on as the other curve
            // came in is that curve.
            if (taken && gap > 0 && rival.follows(col)) {
                const auto onward = itsSlope();
                const double rivalSlope = rival.course.slopeAt(static_cast<double>(col));
                if (onward && std::fabs(*onward - rivalSlope) < std::fabs(*onward - slope) &&
                    distanceToRun(rival.course.rowAt(static_cast<double>(col)), *near) <= distance(*near) + 1.0)
                    taken = nullptr, passing = true;
            }
        } else if (nearCount == 0 && line && distance(*line) <= reach && std::fabs(slope) <= kAlongLine) {
            taken = line;
        } else if (nearCount == 0 || (nearCount == 1 && clear(*near))) {
            // Far from the course: the curve's own continuation only where
            // it alone is joined to the last run taken, as past a sharp bend,
            // and is no other curve that was seen going its own way.
            if (linked.size() == 1 && clear(linked.front()) && linked.front().weight >= kSpeck * weight &&
                !touchesAny(linked.front(), passingBy)) {
                for (const ColourRun& run : column)
                    if (run.top == linked.front().top && run.bottom == linked.front().bottom) taken = &run;
                // A marker's far edge, where the curve ends in it, joins the
                // line too, but nothing goes on from it.
                const std::size_t pastMark = std::min(kPastMark, f.pieceColumns - 1);
                if (taken && onwardFrom(f.runs, static_cast<std::size_t>(col),
                                        static_cast<std::size_t>(taken - column.data()), direction, pastMark)
                                     .steps < pastMark)
                    taken = nullptr;
                restart = taken != nullptr;
            }
        }
        // Something near but off the course passes the curve by; only what
        // lies over the course hides it.
        const bool overCourse = straddled || (near && distance(*near) <= reach) || (line && distance(*line) <= reach);
        if (!taken && !passing && !overCourse && near)
            rival.see(col, column, nullptr, neighbourhood, predicted, cameInClear);
        if (passing && near) passingBy.push_back(*near);
        if (!taken) {
            if (overCourse && !passing) {
                f.track[static_cast<std::size_t>(col)].crossed = true;
                crossedSince = true;
                lastSeen = col;
            }
            continue;
        }
        if (nearCount > 1) rival.see(col, column, taken, neighbourhood, predicted, cameInClear);
        if (crossedSince && gap > 0) markAtMarkerCentre(f, course, own, lastTaken + direction, col - direction);
        f.track[static_cast<std::size_t>(col)].row = taken->centre;
        if (restart)
            course.restart(static_cast<double>(col), taken->centre);
        else
            course.add(static_cast<double>(col), taken->centre);
        thickness = std::max(1.0, 0.9 * thickness + 0.1 * (heightOf(*taken) - std::fabs(slope)));
        weight = 0.9 * weight + 0.1 * taken->weight;
        lastTaken = lastSeen = col;
        crossedSince = false;
        linked = {*taken};
    }
    endInMarker(f, course, thickness + std::fabs(course.slopeAt(static_cast<double>(lastTaken))), lastTaken, direction);
}

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
        followFrom(following, seed, thickness, +1);
        followFrom(following, seed, thickness, -1);
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
