#pragma once
// One straight line of the picture: a frame side or an axis, found to a
// fraction of a pixel.

#include "engine/digitize/Homography.h"

namespace vastrel::axes {

using digitize::PlanePoint;

// A nearly horizontal line is row = offset + slope · column, a nearly
// vertical one column = offset + slope · row; `from`..`to` is the stretch
// of columns (or rows) it is drawn over.
struct AxisLine {
    bool horizontal = true;
    double offset = 0.0;
    double slope = 0.0;
    double from = 0.0;
    double to = 0.0;
    double halfWidth = 0.5;  // half the drawn line's thickness, in pixels

    // The point of the line at `along` (a column of a horizontal line, a row
    // of a vertical one).
    PlanePoint at(double along) const
    {
        const double across = offset + slope * along;
        return horizontal ? PlanePoint{along, across} : PlanePoint{across, along};
    }
    // Where a pixel lies along the line, and how far off it.
    double alongOf(PlanePoint p) const;
    double acrossOf(PlanePoint p) const;
};

// Where two lines, one horizontal and one vertical, cross.
PlanePoint crossing(const AxisLine& horizontal, const AxisLine& vertical);

}  // namespace vastrel::axes
