#pragma once
// The tick labels printed beside an axis: below the X axis, left of the Y
// axis, upright. Each is cut out of the picture on its own, straightened
// along a tilted axis, with a power's raised digits (10³, 1×10⁻²) apart from
// the digits on the line so that each is read at its own size.

#include <optional>
#include <vector>

#include "engine/axes/AxisLine.h"
#include "engine/axes/InkMap.h"
#include "engine/axes/LabelReader.h"

namespace vastrel::axes {

struct LabelBox {
    double along = 0.0;  // the label's middle along its axis (a column for X, a row for Y)
    LabelPicture base;   // the characters on the line
    std::optional<LabelPicture> power;  // the raised ones after them
    bool powerNegative = false;         // a raised minus before them
};

// The labels of the first line of text below a horizontal axis, `clearance`
// pixels past the line's centre (its half width and the ticks' outer reach).
std::vector<LabelBox> labelsBelow(const InkMap& ink, const AxisLine& axis, double clearance);

// The labels of the first column of text left of a vertical axis.
std::vector<LabelBox> labelsLeftOf(const InkMap& ink, const AxisLine& axis, double clearance);

// The label's text as one string: the power after "^".
std::string readLabel(LabelReader& reader, const LabelBox& label);

}  // namespace vastrel::axes
