#pragma once
// The straight line a followed curve runs on into a gap: through the rows
// found before (or after) it.

#include <cstddef>
#include <optional>
#include <vector>

#include "engine/digitize/CurveFollowing.h"

namespace vastrel::digitize {

// row = a + b column, in window columns and rows.
struct Line {
    double a = 0.0, b = 0.0;
    double at(double column) const { return a + b * column; }
};

// The line through the few rows found from column `from` on in `direction`
// (+1 or -1). The two found next to the gap are left out where there are
// rows enough beyond them: a marker's outline that the curve runs into pulls
// them off the line. A column or two without a row among them does not end
// the line. Nothing where fewer than three rows are found.
std::optional<Line> lineThrough(const std::vector<TrackColumn>& track, std::size_t from, int direction);

}  // namespace vastrel::digitize
