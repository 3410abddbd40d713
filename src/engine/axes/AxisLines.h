#pragma once
// The long straight dark lines of a graph: its frame, or the two axis lines
// of a graph drawn without one. A page scanned crooked tilts them a few
// degrees; each is found at that tilt and fitted to a fraction of a pixel
// across the ticks, labels and curves that touch it.

#include <optional>
#include <vector>

#include "engine/axes/AxisLine.h"
#include "engine/axes/InkMap.h"

namespace vastrel::axes {

struct FrameLines {
    AxisLine bottom;  // the X axis
    AxisLine left;    // the Y axis
    std::optional<AxisLine> top;
    std::optional<AxisLine> right;
};

// Lines at most this steep (about 3°) are taken as horizontal or vertical.
inline constexpr double kSteepestTilt = 0.055;

// Every long line of one direction, ordered from the top (or the left); a
// line counts when it runs dark over at least a third of the picture's
// width (height) and half as long as the longest.
std::vector<AxisLine> findLongLines(const InkMap& ink, bool horizontal);

// The lowest long horizontal line and the leftmost long vertical one, which
// must meet near their ends; the top and right frame sides when drawn.
// Nothing when the picture holds no such pair.
std::optional<FrameLines> findFrameLines(const InkMap& ink);

}  // namespace vastrel::axes
