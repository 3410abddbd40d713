#pragma once
// Where a run's window lies against the picture: the scan reads the drawing
// area as it is, so a corner clicked (or given) beyond the picture makes it
// read the grey margin there as if it were the graph, and corners swapped or
// too close together leave it nothing to read. Neither may pass unsaid.

#include <QSize>
#include <optional>

#include "engine/digitize/References.h"

namespace vastrel::digitize {

// Positions first .. last of the window, both included.
struct Span {
    double first = 0.0;
    double last = 0.0;
};

struct ScanReach {
    bool noColumn = false;  // the corners leave no column between them: no point at all
    bool noRow = false;     // they leave no row: every column gives the same made-up row
    // The parts of the window beyond the picture, on each side.
    std::optional<Span> columnsLeft, columnsRight, rowsAbove, rowsBelow;

    bool beyondPicture() const { return columnsLeft || columnsRight || rowsAbove || rowsBelow; }
};

// The reach of the window the darkest-pixel rule (or, `byColour`, the colour
// rule) examines for these corners, on a picture of `picture` pixels shown
// from the top-left corner.
ScanReach scanReachOf(const References& refs, QSize picture, bool byColour);

}  // namespace vastrel::digitize
