#pragma once
// The colour the user chose for the curve, and where it was taken.

#include <cstdint>

namespace vastrel::digitize {

struct CurveColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    // The drawing-area pixel the colour was taken from: a sure place on the
    // curve to follow it from, where it lies in the scan window.
    int x = 0;
    int y = 0;
};

}  // namespace vastrel::digitize
