#include "engine/digitize/ScanReach.h"

#include "engine/digitize/ScanWindow.h"

#include <cmath>

namespace vastrel::digitize {

namespace {

// The positions first, first + 1, ... (count of them) below 0 and at or past
// `limit`.
void outside(double first, std::int64_t count, int limit, std::optional<Span>& before, std::optional<Span>& after)
{
    const IndexRange inside = insideRange(first, count, limit);
    const auto at = [first](std::int64_t k) { return first + static_cast<double>(k); };
    if (inside.empty()) {
        // The whole window lies off the picture, on one side or the other.
        if (first < 0.0)
            before = Span{at(0), at(count - 1)};
        else
            after = Span{at(0), at(count - 1)};
        return;
    }
    if (inside.lo > 0) before = Span{at(0), at(inside.lo - 1)};
    if (inside.hi < count) after = Span{at(inside.hi), at(count - 1)};
}

}  // namespace

ScanReach scanReachOf(const References& refs, QSize picture, bool byColour)
{
    const ScanWindow window = byColour ? colourScanWindowOf(refs) : scanWindowOf(refs);
    ScanReach reach;
    reach.noColumn = window.columnCount() == 0;
    reach.noRow = window.rowCount() == 0;
    if (!reach.noColumn)
        outside(window.firstColumn, window.columnCount(), picture.width(), reach.columnsLeft, reach.columnsRight);
    if (!reach.noColumn && !reach.noRow)
        outside(window.firstRow, window.rowCount(), picture.height(), reach.rowsAbove, reach.rowsBelow);
    return reach;
}

}  // namespace vastrel::digitize
