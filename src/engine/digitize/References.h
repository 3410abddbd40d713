#pragma once
// What one digitizing run is told about the axes: the two picked reference
// pixels, the graph values typed for them and the scale mode.

#include <cstdint>

namespace vastrel::digitize {

// How the axes are scaled, X axis named first. The values are those of the
// option buttons; any other value converts like LinearLinear.
enum class ScaleMode : std::int16_t {
    LinearLinear = 1,  // "Linear - Linear"
    LinearLog = 2,     // "Linear - Log": X linear, Y logarithmic
    LogLog = 3,        // "Log - Log"
    LogLinear = 4,     // "Log - Linear": X logarithmic, Y linear
};

inline bool hasLogarithmicX(ScaleMode mode)
{
    return mode == ScaleMode::LogLog || mode == ScaleMode::LogLinear;
}
inline bool hasLogarithmicY(ScaleMode mode)
{
    return mode == ScaleMode::LinearLog || mode == ScaleMode::LogLog;
}

struct References {
    // The picked pixels, single precision as the mouse delivered them. The
    // start point is the lower-left corner of the plotting area, the end
    // point the upper-right one; image y grows downwards.
    float startX = 0.0f;
    float startY = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
    // The graph values typed for the start point (x1, y1) and the end point
    // (x2, y2), already parsed.
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    ScaleMode mode = ScaleMode::LinearLinear;

    bool operator==(const References&) const = default;
};

}  // namespace vastrel::digitize
