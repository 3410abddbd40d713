#include "engine/digitize/OneWayFollowing.h"

#include "engine/digitize/CurveCourse.h"
#include "engine/digitize/MarkerCentre.h"
#include "engine/digitize/RivalCourse.h"
#include "engine/digitize/TrackLine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>

namespace vastrel::digitize {

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

namespace {

// Runs weaker than this share of the curve's are a JPEG's specks, unless
// joined to the curve.
constexpr double kSpeck = 0.25;
// The steepest course, in rows per column, that runs along a level line.
constexpr double kAlongLine = 0.35;
// Columns of nothing after which the curve may have ended, and how far a
// run must then go on to be its continuation.
constexpr std::ptrdiff_t kLongGap = 12;
constexpr std::size_t kGoesOn = 10;
// How far the curve's own line goes on clear past a mark it ran under.
constexpr std::size_t kPastMark = 3;
// Rows between a run and any other for it to stand apart, beyond the
// curve's own.
constexpr double kApart = 3.0;
// The course starts with the line behind the seed, so that its first steps
// already know its slope: a steep line's runs are tall.
constexpr std::size_t kBehind = 8;

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

// What one column shows around the curve's course.
struct ColumnLook {
    std::ptrdiff_t col = 0;
    std::span<const ColourRun> column;
    std::size_t gap = 0;  // columns not taken since the last taken
    double predicted = 0, slope = 0;
    double own = 0;                   // the rows the curve covers in one column
    double reach = 0;                 // how far from the course a run may be the curve
    double neighbourhood = 0;         // how far from it a run is near it at all
    const ColourRun* near = nullptr;  // the nearest of the runs near the course
    const ColourRun* line = nullptr;  // the nearest piece of a line across the window near it
    int nearCount = 0;
    bool straddled = false;  // runs above and below the course and none on it: a hollow marker's sides

    double distance(const ColourRun& run) const { return distanceToRun(predicted, run); }
    bool clear(const ColourRun& run) const { return heightOf(run) <= own + 2.0; }
    std::size_t indexOf(const ColourRun& run) const { return static_cast<std::size_t>(&run - column.data()); }
};

// What becomes of a run near the course: the curve, or not; and whether it
// belongs to something else going its own way (another curve, a speck).
struct Verdict {
    const ColourRun* taken = nullptr;
    bool passing = false;
};

class OneWay {
public:
    OneWay(Following& f, RunAt seed, double thickness, int direction);
    void follow();

private:
    void step(std::ptrdiff_t col);
    ColumnLook lookAt(std::ptrdiff_t col, std::span<const ColourRun> column) const;
    bool significant(const ColourRun& run) const { return run.weight >= kSpeck * weight_ || touchesAny(run, linked_); }
    bool cameInClear(const ColumnLook& look, const ColourRun& run) const;
    bool alone(const ColumnLook& look, const ColourRun& run) const;
    Verdict judgeNear(const ColumnLook& look, const ColourRun& near);
    const ColourRun* continuationFarOff(const ColumnLook& look) const;
    void seeRival(const ColumnLook& look, const ColourRun* taken);
    void take(const ColumnLook& look, const ColourRun& taken, bool restart);

    Following& f_;
    double thickness_;
    int direction_;
    CurveCourse course_;
    std::ptrdiff_t lastTaken_;
    std::ptrdiff_t lastSeen_;           // the last column taken or crossed
    double weight_;                     // a run's weight where the curve shows clear
    bool crossedSince_ = false;         // a column crossed since the last run taken
    std::vector<ColourRun> linked_;     // the runs joined to the last taken, in the column before
    std::vector<ColourRun> passingBy_;  // those of another curve going its own way, in the column before
    std::vector<ColourRun> scratch_;
    RivalCourse rival_;
};

OneWay::OneWay(Following& f, RunAt seed, double thickness, int direction)
    : f_(f), thickness_(thickness), direction_(direction), lastTaken_(static_cast<std::ptrdiff_t>(seed.column)),
      lastSeen_(lastTaken_)
{
    const ColourRun& seedRun = f.runs.column(seed.column)[seed.index];
    const Onward behind = onwardFrom(f.runs, seed.column, seed.index, -direction, kBehind, true);
    for (auto it = behind.centres.rbegin(); it != behind.centres.rend(); ++it)
        course_.add(static_cast<double>(it->first), it->second);
    course_.add(static_cast<double>(seed.column), seedRun.centre);
    weight_ = seedRun.weight;
    linked_ = {seedRun};
}

void OneWay::follow()
{
    const auto count = static_cast<std::ptrdiff_t>(f_.runs.columnCount());
    for (std::ptrdiff_t col = lastTaken_ + direction_; col >= 0 && col < count; col += direction_) step(col);
    endInMarker(f_, course_, thickness_ + std::fabs(course_.slopeAt(static_cast<double>(lastTaken_))), lastTaken_,
                direction_);
}

ColumnLook OneWay::lookAt(std::ptrdiff_t col, std::span<const ColourRun> column) const
{
    ColumnLook look;
    look.col = col;
    look.column = column;
    look.gap = static_cast<std::size_t>(std::abs(col - lastTaken_) - 1);
    look.predicted = course_.rowAt(static_cast<double>(col));
    look.slope = course_.slopeAt(static_cast<double>(col));
    look.own = thickness_ + std::fabs(look.slope);
    const double gapRows = static_cast<double>(look.gap);
    look.reach = std::min(1.5 + 0.5 * look.own + 0.5 * gapRows + 0.02 * gapRows * gapRows, f_.widest);
    look.neighbourhood = std::max(10.0, 3.0 * look.own + 4.0);
    bool above = false, below = false, on = false;
    for (const ColourRun& run : column) {
        if (look.distance(run) > look.neighbourhood) continue;
        if (run.alongLine) {
            if (!look.line || look.distance(run) < look.distance(*look.line)) look.line = &run;
            continue;
        }
        if (!significant(run)) continue;
        ++look.nearCount;
        if (!look.near || look.distance(run) < look.distance(*look.near)) look.near = &run;
        on = on || look.distance(run) <= 0.5;
        above = above || static_cast<double>(run.bottom) < look.predicted;
        below = below || static_cast<double>(run.top) > look.predicted;
    }
    look.straddled = above && below && !on;
    return look;
}

// A line that came in clear from a while back: another curve, where it is
// not this one (a marker's side comes from the marker).
bool OneWay::cameInClear(const ColumnLook& look, const ColourRun& run) const
{
    const Onward onward =
        onwardFrom(f_.runs, static_cast<std::size_t>(look.col), look.indexOf(run), -direction_, kGoesOn);
    return onward.steps >= kGoesOn &&
           static_cast<double>(onward.tallest) <= thickness_ + std::fabs(onward.slope.value_or(0.0)) + 3.0;
}

// Of several near runs the nearest is the curve where it alone lies within
// reach and the others keep well apart: another curve or a label beside it,
// not the two sides of a marker around it. A run right on the course needs
// only a clear gap to the others.
bool OneWay::alone(const ColumnLook& look, const ColourRun& run) const
{
    if (look.straddled) return false;
    const bool onCourse = look.distance(run) <= std::max(1.0, 0.25 * look.reach);
    for (const ColourRun& other : look.column) {
        if (&other == &run || other.alongLine || !significant(other) || look.distance(other) > look.neighbourhood)
            continue;
        const double apart = onCourse
                                 ? static_cast<double>(std::max(other.top - run.bottom, run.top - other.bottom)) - 1.0
                                 : distanceToRun(run.centre, other) - look.own;
        if (apart < kApart - (onCourse ? 1.0 : 0.0)) return false;
    }
    return true;
}

void OneWay::seeRival(const ColumnLook& look, const ColourRun* taken)
{
    rival_.see(look.col, look.column, taken, look.neighbourhood, look.predicted,
               [&](const ColourRun& run) { return cameInClear(look, run); });
}

// The checks on a clear run near the course, in the order they apply.
Verdict OneWay::judgeNear(const ColumnLook& look, const ColourRun& near)
{
    const auto col = static_cast<std::size_t>(look.col);
    const std::size_t k = look.indexOf(near);
    const auto itsSlope = [&] { return slopeThrough(f_.runs, col, k, 8); };
    // Across a gap of nothing, a line turning away is another curve.
    if (look.gap > 0 && !crossedSince_ && course_.settled()) {
        const auto onward = itsSlope();
        if (onward && std::fabs(*onward - look.slope) > 0.35 + 0.35 * std::fabs(look.slope)) {
            seeRival(look, nullptr);
            return {nullptr, true};
        }
    }
    // After a long stretch of nothing the curve may have ended: a speck, a
    // tick or a label's stroke ahead does not go on for long. A dash of a
    // dashed curve is as short as the one it was followed from.
    if (std::abs(look.col - lastSeen_) - 1 > kLongGap) {
        const std::size_t least = std::min(kGoesOn, f_.pieceColumns - std::min(f_.pieceColumns, kPastMark));
        if (onwardFrom(f_.runs, col, k, direction_, least).steps < least) return {nullptr, true};
    }
    // Past a mark the curve ran under, its own line goes on clear; the
    // mark's far edge, or a side of a marker, does not.
    if (crossedSince_ && look.gap > 0) {
        const std::size_t pastMark = std::min(kPastMark, f_.pieceColumns - 1);
        const Onward onward = onwardFrom(f_.runs, col, k, direction_, pastMark);
        if (onward.steps < pastMark || static_cast<double>(onward.tallest) > look.own + 2.0) return {};
    }
    // After a crossing, the line that goes on as the other curve came in is
    // that curve.
    if (look.gap > 0 && rival_.follows(look.col)) {
        const auto onward = itsSlope();
        const double rivalSlope = rival_.course.slopeAt(static_cast<double>(look.col));
        if (onward && std::fabs(*onward - rivalSlope) < std::fabs(*onward - look.slope) &&
            distanceToRun(rival_.course.rowAt(static_cast<double>(look.col)), near) <= look.distance(near) + 1.0)
            return {nullptr, true};
    }
    return {&near, false};
}

// Far from the course: the curve's own continuation only where it alone is
// joined to the last run taken, as past a sharp bend, and is no other curve
// that was seen going its own way. A marker's far edge, where the curve
// ends in it, joins the line too, but nothing goes on from it.
const ColourRun* OneWay::continuationFarOff(const ColumnLook& look) const
{
    if (linked_.size() != 1) return nullptr;
    const ColourRun& joined = linked_.front();
    if (!look.clear(joined) || joined.weight < kSpeck * weight_ || touchesAny(joined, passingBy_)) return nullptr;
    const ColourRun* taken = nullptr;
    for (const ColourRun& run : look.column)
        if (run.top == joined.top && run.bottom == joined.bottom) taken = &run;
    const std::size_t pastMark = std::min(kPastMark, f_.pieceColumns - 1);
    if (taken &&
        onwardFrom(f_.runs, static_cast<std::size_t>(look.col), look.indexOf(*taken), direction_, pastMark).steps <
            pastMark)
        return nullptr;
    return taken;
}

void OneWay::step(std::ptrdiff_t col)
{
    const auto column = f_.runs.column(static_cast<std::size_t>(col));
    keepTouching(linked_, column, scratch_);
    keepTouching(passingBy_, column, scratch_);
    if (column.empty()) return;
    const ColumnLook look = lookAt(col, column);
    const ColourRun* near = look.near;

    Verdict verdict;
    bool restart = false;
    if (near && look.clear(*near) && look.distance(*near) <= look.reach && !look.straddled &&
        (look.nearCount == 1 || alone(look, *near))) {
        verdict = judgeNear(look, *near);
    } else if (!near && look.line && look.distance(*look.line) <= look.reach && std::fabs(look.slope) <= kAlongLine) {
        verdict.taken = look.line;  // a level curve on a grid line
    } else if (!near || (look.nearCount == 1 && look.clear(*near))) {
        verdict.taken = continuationFarOff(look);
        restart = verdict.taken != nullptr;
    }
    // Something near but off the course passes the curve by; only what lies
    // over the course hides it.
    const bool overCourse = look.straddled || (near && look.distance(*near) <= look.reach) ||
                            (look.line && look.distance(*look.line) <= look.reach);
    if (!verdict.taken && !verdict.passing && !overCourse && near) seeRival(look, nullptr);
    if (verdict.passing && near) passingBy_.push_back(*near);
    if (!verdict.taken) {
        if (overCourse && !verdict.passing) {
            f_.track[static_cast<std::size_t>(col)].crossed = true;
            crossedSince_ = true;
            lastSeen_ = col;
        }
        return;
    }
    if (look.nearCount > 1) seeRival(look, verdict.taken);
    take(look, *verdict.taken, restart);
}

void OneWay::take(const ColumnLook& look, const ColourRun& taken, bool restart)
{
    if (crossedSince_ && look.gap > 0)
        markAtMarkerCentre(f_, course_, look.own, lastTaken_ + direction_, look.col - direction_);
    f_.track[static_cast<std::size_t>(look.col)].row = taken.centre;
    if (restart)
        course_.restart(static_cast<double>(look.col), taken.centre);
    else
        course_.add(static_cast<double>(look.col), taken.centre);
    thickness_ = std::max(1.0, 0.9 * thickness_ + 0.1 * (heightOf(taken) - std::fabs(look.slope)));
    weight_ = 0.9 * weight_ + 0.1 * taken.weight;
    lastTaken_ = lastSeen_ = look.col;
    crossedSince_ = false;
    linked_ = {taken};
}

}  // namespace

void followOneWay(Following& f, RunAt seed, double thickness, int direction)
{
    OneWay(f, seed, thickness, direction).follow();
}

}  // namespace vastrel::digitize
