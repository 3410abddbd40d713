#pragma once
// The part of the image that the column scan examines: columns
// startX + 2 .. endX - 2 and rows endY + 3 .. startY - 15, both ends included,
// in steps of one pixel. Positions are double precision; column i of a run is
// at firstColumn + i and row j at firstRow + j.

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
    static std::int64_t stepsBetween(double first, double last) {
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

inline ScanWindow scanWindowOf(const References& refs) {
    ScanWindow w;
    w.firstColumn = static_cast<double>(refs.startX) + 2.0;
    w.lastColumn = static_cast<double>(refs.endX) - 2.0;
    w.firstRow = static_cast<double>(refs.endY) + 3.0;
    w.lastRow = static_cast<double>(refs.startY) - 15.0;
    return w;
}

}  // namespace vastrel::digitize
