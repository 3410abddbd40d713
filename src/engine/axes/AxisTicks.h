#pragma once
// The tick marks along an axis line: short strokes across it, inside the
// frame, outside it or both. A grid line or the other axis crossing it
// counts as a tick too; which ticks matter is decided by their labels.

#include <vector>

#include "engine/axes/AxisLine.h"
#include "engine/axes/InkMap.h"

namespace vastrel::axes {

struct Tick {
    double along = 0.0;  // where its centre line meets the axis line
    int inside = 0;      // how far it reaches into the frame, in pixels
    int outside = 0;     // and out of it, towards the labels
};

// `outward` is +1 when the labels lie on the side of growing rows (below a
// horizontal axis) or columns, -1 otherwise.
std::vector<Tick> findTicks(const InkMap& ink, const AxisLine& axis, int outward);

}  // namespace vastrel::axes
