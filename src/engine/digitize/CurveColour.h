#pragma once
// The colour the user chose for the curve, and where it was taken.

#include "engine/image/PixelView.h"

#include <cstdint>

namespace vastrel::digitize {

// How far each of red, green and blue may lie from the chosen colour's for a
// pixel to count as the curve. 48 keeps every pair of the ten colours plotting
// programs cycle through by default apart (the closest pair, brown and grey,
// differs by 52 in one component) while still taking in the noise of a JPEG
// or a scan and the inner, nearly full-strength pixels of an anti-aliased line.
inline constexpr int kDefaultColourTolerance = 48;

struct CurveColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    // The drawing-area pixel the colour was taken from: a sure place on the
    // curve to follow it from, where it lies in the scan window.
    int x = 0;
    int y = 0;
    // 0 .. 254; a pixel matches when no component differs by more.
    int tolerance = kDefaultColourTolerance;
};

// The colour shown at drawing-area pixel (x, y), taken as the curve's there;
// the pixel must lie inside the view.
inline CurveColour curveColourAt(const image::PixelView& view, int x, int y)
{
    const std::int32_t shown = view.point(x, y);  // &H00BBGGRR
    return {static_cast<std::uint8_t>(shown & 0xFF), static_cast<std::uint8_t>((shown >> 8) & 0xFF),
            static_cast<std::uint8_t>((shown >> 16) & 0xFF), x, y};
}

}  // namespace vastrel::digitize
