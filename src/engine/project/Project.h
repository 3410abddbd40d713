#pragma once
// Everything a user sets up on one graph, kept so that closing the program
// loses none of it: the image, the reference points with their typed texts,
// the scale mode, the erasures, the curve colour and the series with their
// points as corrected by hand.

#include <QRect>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "engine/digitize/CurveColour.h"
#include "engine/digitize/References.h"
#include "engine/results/Series.h"

namespace vastrel::project {

struct PickedPixel {
    double column = 0.0;
    double row = 0.0;

    bool operator==(const PickedPixel&) const = default;
};

// A reference point beyond the start and end points, with its texts as typed.
struct ReferenceText {
    PickedPixel at;
    QString x;
    QString y;
    bool found = false;  // found on the picture (the frame's corners), not picked

    bool operator==(const ReferenceText&) const = default;
};

struct Project {
    QString imagePath;    // as written: relative to the project's folder where the image lies inside it
    QString imageSha256;  // of the image file's bytes, 64 lower-case hex digits
    std::optional<PickedPixel> start;
    std::optional<PickedPixel> end;
    std::array<QString, 4> texts;  // X and Y of the start point, X and Y of the end point, as typed
    std::vector<ReferenceText> more;
    digitize::ScaleMode mode = digitize::ScaleMode::LinearLinear;
    std::vector<QRect> erasures;  // oldest first, drawing-area pixels
    std::optional<digitize::CurveColour> colour;
    std::vector<results::Series> series;
};

}  // namespace vastrel::project
