#pragma once
// How the runs of a colour join up from column to column: the chains of
// touching runs, and the line that leads on from one run.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "engine/digitize/ColourRuns.h"

namespace vastrel::digitize {

struct RunAt {
    std::size_t column = 0;
    std::size_t index = 0;  // within the column, from the top
};

// Chains of runs that touch from column to column, as disjoint sets over the
// runs' indices across all columns.
class RunChains {
public:
    explicit RunChains(const ColourRuns& runs);

    std::size_t indexOf(RunAt at) const { return runs_.firstIndexOf(at.column) + at.index; }
    // How many columns the chain through `run` spans.
    std::size_t span(std::size_t run) { return chain_[find(run)].span(); }
    // How many rows the chain through `run` reaches over, top to bottom.
    std::int64_t height(std::size_t run);
    // A run of the longest chain (the heavier of equally long ones), in its
    // middle column, off the lines across the window where it can be.
    RunAt middleOfLongest();

private:
    struct Extent {
        std::size_t firstColumn = SIZE_MAX;
        std::size_t lastColumn = 0;
        std::int64_t topRow = INT64_MAX;
        std::int64_t bottomRow = INT64_MIN;
        double weight = 0.0;
        std::size_t span() const { return lastColumn - firstColumn + 1; }
    };

    std::size_t find(std::size_t i);
    void joinTouching(std::size_t col);
    void measure();

    const ColourRuns& runs_;
    std::vector<std::size_t> parent_;
    std::vector<Extent> chain_;  // valid at each chain's root
};

// The line of touching runs that leads on from run `index` of `column` in
// `direction` (+1 or -1), over up to `columns` columns, off the lines across
// the window: how many columns it goes on for, and its slope in rows per
// column where that is three or more, enough to tell.
struct Onward {
    std::size_t steps = 0;
    std::optional<double> slope;
    std::int64_t tallest = 0;                             // the most rows a run of it covers
    std::vector<std::pair<std::size_t, double>> centres;  // each column's, where asked for
};

Onward onwardFrom(const ColourRuns& runs, std::size_t column, std::size_t index, int direction, std::size_t columns,
                  bool withCentres = false);

// The slope of the line through run `index` of `column`, judged over up to
// `columns` columns either side of it: a dash ahead may be too short to
// tell, but the dash it belongs to is not.
std::optional<double> slopeThrough(const ColourRuns& runs, std::size_t column, std::size_t index, std::size_t columns);

// Where `seed` lies in a mark on the line (a marker, a label's stroke
// touching it), the nearest run along the line, within `columns` either
// way, where the line shows as thin as it is: a course and a thickness
// learnt from there fit the line. Elsewhere `seed` itself.
RunAt thinNear(const ColourRuns& runs, RunAt seed, std::size_t columns);

}  // namespace vastrel::digitize
