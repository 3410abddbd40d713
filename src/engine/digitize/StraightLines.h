#pragma once
// Lines of the curve's own ink drawn straight across the whole scan window:
// the lines of a grid, the frame's sides, the axes. Across a column such a
// line is a run as tall as the window; along a row it is a thin run in
// nearly every column. Neither is the curve where the curve crosses it.

#include <cstdint>
#include <vector>

#include "engine/digitize/ColourRuns.h"

namespace vastrel::digitize {

struct StraightLines {
    std::vector<bool> columns;  // per window column: a vertical line runs down it
    std::vector<bool> rows;     // per window row: a horizontal line runs along it

    bool anyAlongRows() const;  // only those change the runs (withStraightLinesMarked)
    bool acrossColumn(std::size_t column) const { return column < columns.size() && columns[column]; }
};

// A vertical line covers at least a third of its column and reaches from the
// window's top tenth to its bottom tenth, so that a dotted grid line is one;
// a horizontal line likewise along its row, counted over the columns that no
// vertical line takes (a frame's side would otherwise start every row).
StraightLines findStraightLines(const ColourRuns& runs, std::int64_t windowRows);

// The runs with the horizontal lines marked: a run that such a line crosses
// is cut into its pieces off the line and on it, the latter marked
// `alongLine`, as is a run wholly on a line. A level curve can run along a
// line for a while; it is followed along one only where it goes that way. A
// vertical line's runs are left as they are: being far taller than the
// curve, they hide it where it crosses, and where the curve steps from one
// row to another it is such a run that joins the two.
ColourRuns withStraightLinesMarked(const ColourRuns& runs, const StraightLines& lines);

}  // namespace vastrel::digitize
