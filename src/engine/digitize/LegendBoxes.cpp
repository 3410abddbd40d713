#include "engine/digitize/LegendBoxes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vastrel::digitize {

namespace {

// A box's lines may be grey or of any colour; a pale grid or a scan's tinted
// paper stays below this darkness.
constexpr int kDark = 80;
constexpr double kAlong = 0.85;  // the share of a side's length that must be drawn

struct Box {
    const image::PixelView& view;

    bool dark(int x, int y) const
    {
        if (!view.contains(x, y)) return false;
        const std::uint32_t argb = view.pixels[static_cast<std::ptrdiff_t>(y) * view.stride + x];
        const int least = std::min({int((argb >> 16) & 0xFFu), int((argb >> 8) & 0xFFu), int(argb & 0xFFu)});
        return 255 - least >= kDark;
    }
    // An anti-aliased line of one pixel may lie over two: a side counts as
    // drawn at a row or column where it or the next one is dark.
    bool across(int y, int x0, int x1) const
    {
        int drawn = 0;
        for (int x = x0; x <= x1; ++x) drawn += dark(x, y) || dark(x, y + 1);
        return drawn >= kAlong * (x1 - x0 + 1);
    }
    bool down(int x, int y0, int y1) const
    {
        int drawn = 0;
        for (int y = y0; y <= y1; ++y) drawn += dark(x, y) || dark(x + 1, y);
        return drawn >= kAlong * (y1 - y0 + 1);
    }
    // The first `count` sides from `from` on in steps of `step` (-1 or 1),
    // no farther than `limit`.
    template <typename Side>
    std::vector<int> nearest(int from, int step, int limit, std::size_t count, const Side& side) const
    {
        std::vector<int> found;
        for (int at = from; (step < 0 ? at >= limit : at <= limit) && found.size() < count; at += step)
            if (side(at)) found.push_back(at), at += step;  // a line over two pixels is one side
        return found;
    }
};

}  // namespace

bool inLegendBox(const image::PixelView& view, const PixelArea& area, double column, double row, double size)
{
    const Box box{view};
    const int cx = int(std::lround(column)), cy = int(std::lround(row));
    const int half = int(std::ceil(size / 2)), reachX = (area.right - area.left) / 2,
              reachY = (area.bottom - area.top) / 2;
    // The frame around the area is no legend's box: every side lies inside it.
    const int left = area.left + 3, right = area.right - 3, top = area.top + 3, bottom = area.bottom - 3;
    const auto vertical = [&](int x) { return box.dark(x, cy) && box.down(x, cy - half, cy + half); };
    // Letters and other samples beside the marker may look like a short
    // upright side: the nearest few are tried, and the top and bottom must
    // then run the whole way between.
    constexpr std::size_t kTried = 3;
    for (const int xl : box.nearest(cx - half - 2, -1, std::max(left, cx - reachX), kTried, vertical))
        for (const int xr : box.nearest(cx + half + 2, 1, std::min(right, cx + reachX), kTried, vertical)) {
            const auto side = [&](int y) {
                const auto at = [&](int x) { return box.dark(x, y) || box.dark(x, y + 1); };
                return at(cx) && at(xl + 1) && at(xr - 1) && box.across(y, xl, xr);
            };
            const std::vector<int> yt = box.nearest(cy - half - 2, -1, std::max(top, cy - reachY), 1, side);
            const std::vector<int> yb = box.nearest(cy + half + 2, 1, std::min(bottom, cy + reachY), 1, side);
            if (yt.empty() || yb.empty() || !box.down(xl, yt[0], yb[0]) || !box.down(xr, yt[0], yb[0])) continue;
            // A grid's lines run on past the cell's corners; a box's top stops there.
            if (!box.across(yt[0], xl - 6, xl - 3) && !box.across(yt[0], xr + 3, xr + 6)) return true;
        }
    return false;
}

}  // namespace vastrel::digitize
