#pragma once
// The colour the user chose for the curve, and where it was taken.

#include "engine/image/PixelView.h"

#include <cstdint>
#include <variant>

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

// The colour to follow for a Ctrl + click (or --colour-at) on drawing-area
// pixel (x, y), which must lie inside the view: the colour shown there, or,
// when that is the pale fringe of an anti-aliased line, the fuller shade of
// the same hue next to it, so that what is shown to the user is what the scan
// matches.
CurveColour curveColourAt(const image::PixelView& view, int x, int y);

// True for a colour the white paper itself matches: no curve can be told by it.
bool isPaperColour(const CurveColour& colour);

// Why a pixel gives no curve colour.
enum class ColourRefusal {
    OutsidePicture,  // the grey margin beyond the picture, or no picture: no curve lies there
    Paper,           // the paper's own colour: every blank column would match it
};

// The colour a Ctrl + click (or --colour-at) at drawing-area position (x, y)
// chooses on a picture of `pictureWidth` × `pictureHeight` pixels shown from
// the area's top-left corner, or why it chooses none.
std::variant<CurveColour, ColourRefusal> chooseColourAt(const image::PixelView& view, int pictureWidth,
                                                        int pictureHeight, double x, double y);

}  // namespace vastrel::digitize
