#pragma once
// The column scan of a digitizing run: in every column of the scan window
// (see ScanWindow.h) the darkest pixel, judged by the green component alone,
// is taken as the curve.
//
//  - Within a column the rows are examined top to bottom and a pixel is taken
//    only when its green is strictly below the best so far, which starts at
//    255 in every column; so the topmost of equally dark pixels wins, and a
//    pixel with green 255 (white, green, yellow, cyan) is never taken.
//  - A position outside the picture reads as -1, whose green counts as 255.
//  - A column in which nothing is taken repeats the row of the column before;
//    before the first column of a run the row is 0.

#include <vector>

#include "engine/image/PixelView.h"
#include "engine/digitize/References.h"

namespace vastrel::digitize {

// The row taken in each column of the scan window of `refs`, left to right:
// one entry per column, so the result is empty when endX - startX < 4. Only
// the four picked pixels of `refs` are used.
//
// Reads the picture row by row, clipped to the picture once, so that its
// inner loop runs over contiguous pixels and vectorises; it gives exactly the
// result of scanColumnsPerPixel (ColumnScanReference.h).
std::vector<float> scanColumns(const image::PixelView& view, const References& refs);

}  // namespace vastrel::digitize
