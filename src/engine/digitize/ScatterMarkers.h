#pragma once
// Every marker of a scatter plot that looks like the one the user clicked:
// its colour and size are learnt from the clicked marker itself, and each
// marker of that colour and about that size in the plotting area becomes one
// point at its centre.

#include <string>
#include <vector>

#include "engine/digitize/CurveColour.h"
#include "engine/image/PixelView.h"

namespace vastrel::digitize {

// Drawing-area pixels, pixel k's centre at k: a marker drawn centred on
// pixel (10, 20) has its centre at (10.0, 20.0), as ColourRun::centre counts
// rows. (MarkerCentre.h already names the centre of a marker on a curve.)
struct MarkerPoint {
    double column = 0;
    double row = 0;
};

struct MarkerSearch {
    std::vector<MarkerPoint> centres;  // sorted by column, then row
    double size = 0;                   // the clicked marker's width or height, whichever is larger, in pixels
    std::string refusal;               // empty on success
    bool ok() const { return refusal.empty(); }
};

// Drawing-area pixels, both corners included.
struct PixelArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The markers inside `area` like the one on drawing-area pixel (clickX,
// clickY), which must be a pixel of the marker's ink. A line of the marker's
// colour through the markers, a legend's samples in its box, the frame and
// its ticks, and letters of another size or shape are no markers; markers
// that touch or overlap are told apart by the ink each shows of the clicked
// marker's shape where the other does not cover it.
MarkerSearch findScatterMarkers(const image::PixelView& view, const PixelArea& area, int clickX, int clickY,
                                int tolerance = kDefaultColourTolerance);

}  // namespace vastrel::digitize
