#pragma once
// The part of the image that the column scan examines: columns
// startX + 2 .. endX - 2 and rows endY + 3 .. startY - 15, both ends included,
// in steps of one pixel. Positions are double precision; column i of a run is
// at firstColumn + i and row j at firstRow + j.
//
// A scan by colour examines the same columns but more rows: endY + 1 ..
// startY - 1, everything strictly between the two reference rows, because the
// colour and the curve's continuity already keep the axes and their labels out.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/digitize/References.h"

namespace vastrel::digitize {

struct ScanWindow {
    double firstColumn = 0.0;  // startX + 2
    double lastColumn = 0.0;   // endX - 2
    double firstRow = 0.0;     // endY + 3
    double lastRow = 0.0;      // startY - 15

    // How many positions first, first + 1, ... do not exceed last: the trip
    // count of a loop "for p = first to last step 1". Empty when last < first
    // (or either is NaN). Capped so that the count always fits; a caller that
    // stores one entry per position bounds the span beforehand.
    static std::int64_t stepsBetween(double first, double last)
    {
        const double span = last - first;
        if (!(span >= 0.0)) return 0;
        constexpr double kCap = 4.0e15;  // well inside exact integers of a double
        return static_cast<std::int64_t>(std::floor(span < kCap ? span : kCap)) + 1;
    }

    std::int64_t columnCount() const { return stepsBetween(firstColumn, lastColumn); }
    std::int64_t rowCount() const { return stepsBetween(firstRow, lastRow); }
    double columnAt(std::int64_t i) const { return firstColumn + static_cast<double>(i); }
    double rowAt(std::int64_t j) const { return firstRow + static_cast<double>(j); }
};

inline ScanWindow scanWindowOf(const References& refs)
{
    ScanWindow w;
    w.firstColumn = static_cast<double>(refs.startX) + 2.0;
    w.lastColumn = static_cast<double>(refs.endX) - 2.0;
    w.firstRow = static_cast<double>(refs.endY) + 3.0;
    w.lastRow = static_cast<double>(refs.startY) - 15.0;
    return w;
}

inline ScanWindow colourScanWindowOf(const References& refs)
{
    ScanWindow w = scanWindowOf(refs);
    w.firstRow = static_cast<double>(refs.endY) + 1.0;
    w.lastRow = static_cast<double>(refs.startY) - 1.0;
    return w;
}

// The indices k = 0 .. count-1 whose position first + k lies inside [0, limit),
// which is where PixelView::point reads a pixel, as a half-open range [lo, hi).
// The positions grow with k, so the range is contiguous. Its ends are estimated
// and then corrected against the exact test, so rounding in the estimates
// cannot move them.
struct IndexRange {
    std::int64_t lo = 0;
    std::int64_t hi = 0;
    bool empty() const { return hi <= lo; }
};

inline IndexRange insideRange(double first, std::int64_t count, int limit)
{
    const auto at = [first](std::int64_t k) { return first + static_cast<double>(k); };
    const auto clampIndex = [count](double v) {
        if (!(v > 0.0)) return std::int64_t{0};  // also NaN
        if (v >= static_cast<double>(count)) return count;
        return static_cast<std::int64_t>(v);
    };
    const double edge = static_cast<double>(limit);
    IndexRange r;
    if (count <= 0 || limit <= 0) return r;
    // lo: the first index at or right of 0; hi: the first index at or right of
    // the far edge.
    r.lo = clampIndex(std::ceil(-first));
    while (r.lo > 0 && at(r.lo - 1) >= 0.0) --r.lo;
    while (r.lo < count && at(r.lo) < 0.0) ++r.lo;
    r.hi = std::max(r.lo, clampIndex(std::ceil(edge - first)));
    while (r.hi > r.lo && at(r.hi - 1) >= edge) --r.hi;
    while (r.hi < count && at(r.hi) < edge) ++r.hi;
    return r;
}

}  // namespace vastrel::digitize
