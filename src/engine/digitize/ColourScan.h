#pragma once
// The column scan by colour: in every column of the scan window the curve is
// where the chosen colour continues it, at the centre of its run weighted by
// closeness to the colour, to a fraction of a row.
//
//  - Same columns as the darkest-pixel scan (ScanWindow.h), one row per
//    column, but rows endY + 1 .. startY - 1: the colour and the curve's
//    continuity keep the axes out, so a curve close to them is still found.
//  - Columns where the curve is not found (hidden behind another curve, or
//    broken) take the row on the straight line between the nearest found
//    columns on either side. Before the first and after the last found
//    column there is no curve, and no row: the curve may start and end
//    inside the window.
//  - An anti-aliased line may be taken at a pale fringe pixel. When the pixel
//    the colour was taken from still shows it and a neighbour shows the same
//    hue with more ink on white paper, that fuller shade is matched instead,
//    so that the line's core is found whichever of its pixels was clicked.

#include <optional>
#include <vector>

#include "engine/digitize/CurveColour.h"
#include "engine/digitize/References.h"
#include "engine/image/PixelView.h"

namespace vastrel::digitize {

// The curve's rows in the columns of the scan window it reaches.
struct ColourTrack {
    std::size_t first = 0;    // the window column of rows[0]
    std::vector<float> rows;  // one a column, from `first` on, left to right
};

// The curve's row in each column of the scan window of `refs` that it
// reaches, or nothing when no pixel of the window matches the colour at all.
// A window without columns gives no rows, like the darkest-pixel scan.
std::optional<ColourTrack> scanColumnsForColour(const image::PixelView& view, const References& refs,
                                                const CurveColour& colour);

// The colour actually matched for `colour` (see above), with the pixel it
// shows at; `colour` itself unless a fuller shade of it lies next to the
// pixel it was taken from.
CurveColour fullestShadeNear(const image::PixelView& view, const CurveColour& colour);

}  // namespace vastrel::digitize
