#include "engine/axes/AxisLine.h"

#include <cmath>

namespace vastrel::axes {

double AxisLine::alongOf(PlanePoint p) const
{
    // The foot of the perpendicular, in the line's own parameter.
    const double a = horizontal ? p.x : p.y, b = horizontal ? p.y : p.x;
    return (a + slope * (b - offset)) / (1.0 + slope * slope);
}

double AxisLine::acrossOf(PlanePoint p) const
{
    const double a = horizontal ? p.x : p.y, b = horizontal ? p.y : p.x;
    return (b - offset - slope * a) / std::sqrt(1.0 + slope * slope);
}

PlanePoint crossing(const AxisLine& h, const AxisLine& v)
{
    // row = h.offset + h.slope·col, col = v.offset + v.slope·row
    const double row = (h.offset + h.slope * v.offset) / (1.0 - h.slope * v.slope);
    return {v.offset + v.slope * row, row};
}

}  // namespace vastrel::axes
