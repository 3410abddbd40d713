#pragma once
// Axes that calibrate themselves: the frame (or the two axis lines), the
// ticks along them and the numbers printed at the ticks, fitted into the
// reference points of a run. The user sees the result and confirms it by
// digitizing, or corrects it as if it had been typed.

#include <string>
#include <variant>
#include <vector>

#include "engine/axes/LabelReader.h"
#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/References.h"
#include "engine/image/PixelView.h"

namespace vastrel::axes {

struct ReadTick {
    char axis = 'x';
    digitize::PlanePoint pixel;  // where the tick meets its axis line
    std::string text;            // what OCR read, UTF-8
    double value = 0.0;
    bool used = false;      // agreed with the others and went into the fit
    double residual = 0.0;  // pixels between the tick and where the fit puts its value
};

struct AxisCalibration {
    digitize::ScaleMode mode = digitize::ScaleMode::LinearLinear;
    // The start point (the plotting area's lower-left corner), the end point
    // (its upper-right one), the upper-left and lower-right corners, then one
    // point per tick used.
    std::vector<digitize::ReferencePoint> refs;
    std::vector<ReadTick> ticks;  // every label read, used or not
    double largestResidual = 0.0;  // over the ticks used

    // The start and end points with their values, as a run takes them.
    digitize::References references() const;
};

// The calibration, or the message (AxisMessages.h) saying which axis could
// not be calibrated and why.
std::variant<AxisCalibration, std::string> calibrateAxes(const image::PixelView& picture, LabelReader& reader);

}  // namespace vastrel::axes
