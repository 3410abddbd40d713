#pragma once
// A series: the points of one curve or one set of markers, kept under a name
// with the rule that found them, so that a figure's several curves live side
// by side and can be corrected point by point.

#include <QString>
#include <optional>
#include <vector>

#include "engine/digitize/CurveColour.h"

namespace vastrel::results {

// How a series' points were found.
enum class SeriesRule {
    Darkest,  // the darkest pixel of each column
    Colour,   // the curve of a chosen colour, followed column by column
    Markers,  // one point per scatter marker of a chosen colour
};

// A point in graph values with the picture position it stands for; points
// of markers and points placed by hand are not one per column.
struct SeriesPoint {
    double x = 0.0;
    double y = 0.0;
    double column = 0.0;  // drawing-area pixels
    double row = 0.0;

    bool operator==(const SeriesPoint&) const = default;
};

struct Series {
    QString name;
    SeriesRule rule = SeriesRule::Darkest;
    std::optional<digitize::CurveColour> colour;  // for the colour and marker rules
    std::vector<SeriesPoint> points;
};

}  // namespace vastrel::results
