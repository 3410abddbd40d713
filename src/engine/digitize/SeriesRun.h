#pragma once
// One series found on a picture by one rule: the curve of "Digitize" (the
// darkest pixel or a colour) or the scatter markers like a clicked one, with
// its refusals, its points in graph values beside the picture positions
// they stand for, so that they can be drawn over the picture and moved there.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/digitize/CurveColour.h"
#include "engine/digitize/DigitizeRun.h"
#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/References.h"
#include "engine/image/PixelView.h"
#include "engine/results/GraphPoint.h"
#include "engine/results/Series.h"

namespace vastrel::digitize {

// What to look for: the rule, and for the colour and marker rules the colour
// with the drawing-area pixel it was taken at (for markers, a pixel of one
// marker's ink).
struct SeriesRequest {
    results::SeriesRule rule = results::SeriesRule::Darkest;
    std::optional<CurveColour> colour;
};

struct SeriesFinding {
    results::Series series;  // named as asked
    std::string refusal;     // for the user; empty when the series was found

    bool ok() const { return refusal.empty(); }
};

// The curve rules give the points of digitize() in its order, each at the
// column scanned and the row taken, in the picture's pixels (back from the
// resampled frame of a page read along its own axes). The marker rule gives
// a point per marker inside the frame of the start and end points, at the
// marker's centre, sorted by X, then Y.
SeriesFinding findSeries(const image::PixelView& view, const References& refs, std::span<const ReferencePoint> more,
                         const SeriesRequest& request, const QString& name);

// The points of a finished run of digitize() on `refs` and `more`, into
// `series`: what findSeries gives for a curve, for a caller that ran it
// itself. The refusal of the calibration, which a run that succeeded never has.
std::string placeRunPoints(const DigitizeOutcome& run, const References& refs, std::span<const ReferencePoint> more,
                           results::Series& series);

// Points found with other references, converted again from their places in
// the picture by `refs` and `more`: every series of a figure keeps one
// calibration. The refusal of the references, with nothing changed.
std::string reconvertSeries(std::vector<results::Series>& series, const References& refs,
                            std::span<const ReferencePoint> more);

// The points of a series as the one-series file and the lists take them.
std::vector<results::GraphPoint> graphPointsOf(const results::Series& series);

}  // namespace vastrel::digitize
