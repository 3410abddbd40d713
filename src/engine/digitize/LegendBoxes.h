#pragma once
// Whether a place in a plotting area lies in a legend's box: the closed
// frame of straight lines that plotting programs draw around the samples of
// the series and their names.

#include "engine/digitize/ScatterMarkers.h"
#include "engine/image/PixelView.h"

namespace vastrel::digitize {

// True where (column, row), the centre of a marker `size` pixels across,
// lies inside a box of dark straight lines within `area` that the grid's
// lines do not make: its top side stops at both of its corners, and it is
// no more than half the area across or high.
bool inLegendBox(const image::PixelView& view, const PixelArea& area, double column, double row, double size);

}  // namespace vastrel::digitize
