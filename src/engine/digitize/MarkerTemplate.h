#pragma once
// The clicked scatter marker, learnt from its own pixels: how much of its ink
// every pixel of the plotting area holds, and the marker as a template of
// that ink to match over the area.

#include <optional>
#include <utility>
#include <vector>

#include "engine/digitize/ColourRuns.h"
#include "engine/digitize/ScatterMarkers.h"
#include "engine/image/PixelView.h"

namespace vastrel::digitize::markers {

// The farthest the clicked marker's ink may reach from the click; the area is
// held with as wide a margin of paper around it, so that a marker cut by the
// area's edge is still matched.
inline constexpr int kReach = 40;
inline constexpr int kPad = kReach;

// How much of the marker's ink every pixel of the area and its margin holds,
// 0 .. 1 (see inkOver), and where ink of another colour hides whatever lies
// under it.
struct Grid {
    int width = 0;
    int height = 0;
    std::vector<float> values;
    std::vector<char> hidden;

    float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
    bool hiddenAt(int x, int y) const { return hidden[static_cast<std::size_t>(y) * width + x]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// The ink of `target`'s colour over `area`, with kPad pixels of paper
// around it: grid pixel (x, y) is drawing-area pixel (area.left + x - kPad,
// area.top + y - kPad).
Grid inkOver(const image::PixelView& view, const PixelArea& area, const ColourTarget& target);

// The clicked marker as a template of ink on a box of the grid with a little
// paper around the marker's own pixels.
struct Template {
    int width = 0, height = 0;
    struct Ink {
        int dx, dy;
        float value;
    };
    std::vector<Ink> ink;
    std::vector<std::pair<int, int>> footprint;  // the ink and the pixels next to it
    std::vector<char> inFootprint;               // width * height flags of the footprint
    double sum = 0, sumSquares = 0;
    double centreX = 0, centreY = 0;  // the ink-weighted centre, from the box's top left pixel
    double size = 0;                  // the marker's width or height, whichever is larger

    bool covers(int dx, int dy) const
    {
        return dx >= 0 && dy >= 0 && dx < width && dy < height &&
               inFootprint[static_cast<std::size_t>(dy) * width + dx];
    }
};

// The marker the grid pixel (cx, cy) is ink of; nothing where no marker can
// be told from a line running on from it.
std::optional<Template> learnTemplate(const Grid& grid, int cx, int cy);

// The template of `ink`, a box of `width` × `height` values, 0 where the
// marker is not.
std::optional<Template> templateOf(int width, int height, const std::vector<float>& ink);

// What the markers found with `t`, its box put at the grid pixels `at`,
// agree on, pixel by pixel: where a line runs through the clicked marker, its
// pieces the others have at other angles or not at all. Nothing where they
// agree with the clicked marker, or are too few.
std::optional<Template> agreedTemplate(const Grid& grid, const Template& t, const std::vector<std::pair<int, int>>& at);

}  // namespace vastrel::digitize::markers
