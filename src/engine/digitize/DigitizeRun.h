#pragma once
// One digitizing run without the display: the checks, the column scan and the
// conversion of every found pixel to graph values.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include <optional>

#include "engine/digitize/CurveColour.h"
#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/References.h"
#include "engine/image/PixelView.h"

namespace vastrel::digitize {

// The most points one run may produce, and so the widest span between the
// reference columns: endX - startX = 1003 gives columns startX + 2 ..
// startX + 1001.
inline constexpr std::size_t kMaxPoints = 1000;
inline constexpr double kMaxColumnSpan = 1003.0;

struct DigitizedPoint {
    double x = 0.0;         // graph X of the column
    double y = 0.0;         // graph Y of the row taken
    float pixelRow = 0.0f;  // the image row taken as the curve in this column
};

// Either the complete list of points or the message why the run was refused;
// a refused run has no points at all.
struct DigitizeOutcome {
    // Point i belongs to column startX + 2 + firstColumn + i. A curve found
    // by its colour may start after the window's first column and end
    // before its last; the darkest pixel gives a point in every column.
    std::vector<DigitizedPoint> points;
    std::size_t firstColumn = 0;
    std::string refusal;  // empty when the run succeeded

    bool ok() const { return refusal.empty(); }
};

// Runs the checks in this order, the first that fails refusing the run:
//  1. the span endX - startX must not exceed 1003 columns (checked before the
//     scan);
//  2. the conversion must be defined (see prepare, Conversion.h);
//  3. with a curve colour: some pixel of the window must match it;
//  4. after the scan, every converted X and Y must be a finite number.
// A span below 4 is a valid run with no points.
//
// Without a colour the curve is the darkest pixel of each column
// (ColumnScan.h); with one, the run of that colour that continues the curve,
// to a fraction of a row (ColourScan.h).
//
// With reference points besides the start and end points (`more`, in pixels
// of the view), the mapping is fitted to them all (ReferenceFit.h), refused
// as it says after the checks above; the picture is resampled into the frame
// of the start and end points (RectifiedPicture.h), and the same scan and
// conversion run on that, so that a tilted or keystoned page is read along
// its own axes. `pixelRow` is then a row of the resampled picture.
DigitizeOutcome digitize(const image::PixelView& view, const References& refs,
                         const std::optional<CurveColour>& colour = std::nullopt,
                         std::span<const ReferencePoint> more = {});

}  // namespace vastrel::digitize
