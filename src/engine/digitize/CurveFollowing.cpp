#include "engine/digitize/CurveFollowing.h"

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <numeric>

namespace vastrel::digitize {

namespace {

// Chains of runs that touch from column to column, as disjoint sets over the
// runs' indices across all columns.
class Chains {
public:
    explicit Chains(const ColourRuns& runs) : runs_(runs), parent_(runs.totalRuns())
    {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
        for (std::size_t col = 0; col + 1 < runs.columnCount(); ++col) joinTouching(col);
        measure();
    }

    std::size_t indexOf(RunAt at) const { return runs_.firstIndexOf(at.column) + at.index; }
    std::size_t span(std::size_t run) { return chain_[find(run)].span(); }
    // How many rows the chain through `run` reaches over, top to bottom.
    std::int64_t height(std::size_t run)
    {
        const Extent& e = chain_[find(run)];
        return e.bottomRow - e.topRow + 1;
    }

    // A run of the longest chain (the heavier of equally long ones), in its
    // middle column.
    RunAt middleOfLongest()
    {
        std::size_t best = 0;
        for (std::size_t i = 1; i < parent_.size(); ++i) {
            const Extent& e = chain_[find(i)];
            const Extent& b = chain_[find(best)];
            if (e.span() > b.span() || (e.span() == b.span() && e.weight > b.weight)) best = i;
        }
        const Extent& longest = chain_[find(best)];
        const std::size_t middle = (longest.firstColumn + longest.lastColumn) / 2;
        RunAt seed{middle, 0};
        double heaviest = -1.0;
        const auto column = runs_.column(middle);
        for (std::size_t k = 0; k < column.size(); ++k) {
            if (find(runs_.firstIndexOf(middle) + k) == find(best) && column[k].weight > heaviest) {
                heaviest = column[k].weight;
                seed.index = k;
            }
        }
        return seed;
    }

private:
    struct Extent {
        std::size_t firstColumn = SIZE_MAX;
        std::size_t lastColumn = 0;
        std::int64_t topRow = INT64_MAX;
        std::int64_t bottomRow = INT64_MIN;
        double weight = 0.0;
        std::size_t span() const { return lastColumn - firstColumn + 1; }
    };

    std::size_t find(std::size_t i)
    {
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }

    // Both columns' runs are sorted and disjoint, so one sweep finds every
    // touching pair.
    void joinTouching(std::size_t col)
    {
        const auto left = runs_.column(col), right = runs_.column(col + 1);
        std::size_t a = 0, b = 0;
        while (a < left.size() && b < right.size()) {
            if (left[a].touches(right[b]))
                parent_[find(runs_.firstIndexOf(col) + a)] = find(runs_.firstIndexOf(col + 1) + b);
            if (left[a].bottom < right[b].bottom)
                ++a;
            else
                ++b;
        }
    }

    void measure()
    {
        chain_.assign(parent_.size(), Extent{});
        for (std::size_t col = 0; col < runs_.columnCount(); ++col) {
            const auto column = runs_.column(col);
            for (std::size_t k = 0; k < column.size(); ++k) {
                Extent& e = chain_[find(runs_.firstIndexOf(col) + k)];
                e.firstColumn = std::min(e.firstColumn, col);
                e.lastColumn = std::max(e.lastColumn, col);
                e.topRow = std::min(e.topRow, column[k].top);
                e.bottomRow = std::max(e.bottomRow, column[k].bottom);
                e.weight += column[k].weight;
            }
        }
    }

    const ColourRuns& runs_;
    std::vector<std::size_t> parent_;
    std::vector<Extent> chain_;  // valid at each chain's root
};

// For every run, how many columns the curve can be followed on from it
// through touching runs, to the right (`ahead`) and to the left (`behind`),
// itself included.
struct Continuation {
    std::vector<std::size_t> ahead, behind;
};

Continuation continuationOf(const ColourRuns& runs)
{
    Continuation c{std::vector<std::size_t>(runs.totalRuns(), 1), std::vector<std::size_t>(runs.totalRuns(), 1)};
    const std::size_t n = runs.columnCount();
    // Sweeps pairs of neighbouring columns as Chains::joinTouching does.
    const auto extend = [&runs](std::size_t from, std::size_t to, std::vector<std::size_t>& length) {
        const auto a = runs.column(from), b = runs.column(to);
        std::size_t i = 0, k = 0;
        while (i < a.size() && k < b.size()) {
            if (a[i].touches(b[k])) {
                std::size_t& here = length[runs.firstIndexOf(from) + i];
                here = std::max(here, 1 + length[runs.firstIndexOf(to) + k]);
            }
            if (a[i].bottom < b[k].bottom)
                ++i;
            else
                ++k;
        }
    };
    for (std::size_t col = n; col-- > 1;) extend(col - 1, col, c.ahead);
    for (std::size_t col = 1; col < n; ++col) extend(col, col - 1, c.behind);
    return c;
}

// How far from the predicted row a run may lie to pick the curve up again
// after `gap` columns without it: the last run's half height, two rows for a
// slightly misjudged slope, and three rows more for every column of the gap,
// because the slope judged inside a round marker is flat whatever the line
// leaving it does. The widening stops at an eighth of the window's height: a
// curve hidden for long is bridged by the straight line, not by whatever
// distant legend sample of its colour comes into reach.
double reach(const ColourRun& last, std::size_t gap, double widest)
{
    return 2.0 + 0.5 * static_cast<double>(last.bottom - last.top + 1) +
           std::min(3.0 * static_cast<double>(gap), widest);
}

// A run next to the last one taken, or one row apart from it: where a
// steep line crosses another, the compression of a JPEG can lose the one row
// that joined the steep line across the columns, and only the other line
// still touches.
bool continuesFrom(const ColourRun& run, const ColourRun& last)
{
    constexpr std::int64_t kLostRows = 1;
    return run.top <= last.bottom + 1 + kLostRows && last.top <= run.bottom + 1 + kLostRows;
}

double distanceToRun(double row, const ColourRun& run)
{
    if (row < static_cast<double>(run.top)) return static_cast<double>(run.top) - row;
    if (row > static_cast<double>(run.bottom)) return row - static_cast<double>(run.bottom);
    return 0.0;
}

void followFrom(const ColourRuns& runs, const Continuation& continuation, RunAt seed, int direction, double widest,
                std::vector<std::optional<double>>& track)
{
    constexpr std::ptrdiff_t kSlopeSpan = 8;  // columns the slope is judged over
    // Of several touching runs, one that ends within this many columns (the
    // edge of a round marker, a stub of a label) loses to one that goes on.
    constexpr std::size_t kDeadEnd = 16;
    const std::vector<std::size_t>& onward = direction > 0 ? continuation.ahead : continuation.behind;
    struct Taken {
        std::ptrdiff_t column;
        double centre;
    };
    std::vector<Taken> taken{{static_cast<std::ptrdiff_t>(seed.column), runs.column(seed.column)[seed.index].centre}};
    ColourRun last = runs.column(seed.column)[seed.index];
    std::size_t oldest = 0;

    const auto count = static_cast<std::ptrdiff_t>(runs.columnCount());
    for (std::ptrdiff_t col = taken.back().column + direction; col >= 0 && col < count; col += direction) {
        const auto column = runs.column(static_cast<std::size_t>(col));
        if (column.empty()) continue;
        while (std::abs(taken.back().column - taken[oldest].column) > kSlopeSpan) ++oldest;
        const Taken& recent = taken.back();
        const double slope = oldest == taken.size() - 1 ? 0.0
                                                        : (recent.centre - taken[oldest].centre) /
                                                              static_cast<double>(recent.column - taken[oldest].column);
        const double predicted = recent.centre + slope * static_cast<double>(col - recent.column);
        const auto gap = static_cast<std::size_t>(std::abs(col - recent.column) - 1);

        const ColourRun* best = nullptr;
        double bestDistance = 0.0;
        if (gap == 0) {
            std::size_t bestOnward = 0;
            for (std::size_t k = 0; k < column.size(); ++k) {
                const ColourRun& run = column[k];
                if (!continuesFrom(run, last)) continue;
                const std::size_t goesOn =
                    std::min(onward[runs.firstIndexOf(static_cast<std::size_t>(col)) + k], kDeadEnd);
                const double d = std::abs(run.centre - predicted);
                if (!best || goesOn > bestOnward || (goesOn == bestOnward && d < bestDistance))
                    best = &run, bestDistance = d, bestOnward = goesOn;
            }
        }
        if (!best) {
            const double limit = reach(last, gap, widest);
            for (const ColourRun& run : column) {
                const double d = distanceToRun(predicted, run);
                if (d <= limit && (!best || d < bestDistance)) best = &run, bestDistance = d;
            }
        }
        if (!best) continue;
        track[static_cast<std::size_t>(col)] = best->centre;
        taken.push_back({col, best->centre});
        last = *best;
    }
}

}  // namespace

std::vector<std::optional<double>> followCurve(const ColourRuns& runs, std::optional<RunAt> anchor,
                                               std::int64_t windowRows)
{
    std::vector<std::optional<double>> track(runs.columnCount());
    if (runs.totalRuns() == 0) return track;

    // A legend's line sample is a short level line. A chain of a few columns,
    // or one that climbs or falls, is a stretch of a steep curve broken into
    // pieces by its thin line: the place the user clicked is then the place
    // to start from.
    constexpr std::int64_t kLevelRows = 6;
    constexpr std::size_t kShortestSample = 8;
    Chains chains(runs);
    RunAt seed = chains.middleOfLongest();
    if (anchor) {
        const std::size_t clicked = chains.indexOf(*anchor);
        const std::size_t span = chains.span(clicked);
        const bool likeASample = 4 * span < chains.span(chains.indexOf(seed)) && span >= kShortestSample &&
                                 chains.height(clicked) <= kLevelRows;
        if (!likeASample) seed = *anchor;
    }

    track[seed.column] = runs.column(seed.column)[seed.index].centre;
    const Continuation continuation = continuationOf(runs);
    const double widest = std::max(16.0, static_cast<double>(windowRows) / 8.0);
    followFrom(runs, continuation, seed, +1, widest, track);
    followFrom(runs, continuation, seed, -1, widest, track);
    return track;
}

}  // namespace vastrel::digitize
