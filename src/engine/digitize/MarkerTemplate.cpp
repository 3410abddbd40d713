#include "engine/digitize/MarkerTemplate.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace vastrel::digitize::markers {

// How much of the marker's ink every pixel of the area and its margin holds,
// 0 .. 1: the pixel's ink (its distance below white paper) measured along
// the marker colour's, and nothing where what is left over differs from the
// colour by more than the tolerance. Unlike the closeness the colour scan
// takes, this keeps the pale pixels of a thin anti-aliased outline at their
// share, which the outline's shape and centre are made of.
Grid inkOver(const image::PixelView& view, const PixelArea& area, const ColourTarget& target)
{
    constexpr float kFaintest = 0.08f;  // paper noise and a JPEG's ringing, not ink
    constexpr float kOtherInk = 64.0f;  // below white: a scan's tinted paper stays paler
    Grid grid;
    grid.width = area.right - area.left + 1 + 2 * kPad;
    grid.height = area.bottom - area.top + 1 + 2 * kPad;
    grid.values.assign(static_cast<std::size_t>(grid.width) * grid.height, 0.0f);
    grid.hidden.assign(grid.values.size(), 0);
    const float ir = 255.0f - target.red, ig = 255.0f - target.green, ib = 255.0f - target.blue;
    const float norm = 1.0f / (ir * ir + ig * ig + ib * ib);
    const float allowed = float(target.tolerance);
    for (int y = area.top; y <= area.bottom; ++y) {
        const std::uint32_t* in = view.pixels + static_cast<std::ptrdiff_t>(y) * view.stride;
        const std::size_t row = static_cast<std::size_t>(y - area.top + kPad) * grid.width + kPad;
        float* out = &grid.values[row];
        char* hidden = &grid.hidden[row];
        for (int x = area.left; x <= area.right; ++x) {
            const std::uint32_t argb = in[x];
            if ((argb & 0xFFFFFFu) == 0xFFFFFFu) continue;  // most of a graph is paper
            const float pr = 255.0f - float((argb >> 16) & 0xFFu), pg = 255.0f - float((argb >> 8) & 0xFFu),
                        pb = 255.0f - float(argb & 0xFFu);
            const float share = std::clamp((pr * ir + pg * ig + pb * ib) * norm, 0.0f, 1.0f);
            const float off =
                std::max({std::fabs(pr - share * ir), std::fabs(pg - share * ig), std::fabs(pb - share * ib)});
            out[x - area.left] = share >= kFaintest && off <= allowed ? share : 0.0f;
            hidden[x - area.left] = off > allowed && std::max({pr, pg, pb}) >= kOtherInk;
        }
    }
    return grid;
}

// A window of the grid around the click, with flags or distances per pixel.
struct Window {
    int x0 = 0, y0 = 0, width = 0, height = 0;
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y - y0) * width + (x - x0); }
    bool onRing(int x, int y) const { return x == x0 || y == y0 || x == x0 + width - 1 || y == y0 + height - 1; }
};

// 3-4 chamfer distances, in pixels, from every pixel of the window to the
// nearest source pixel: close enough to Euclidean for telling a line's
// half-width from a marker's.
std::vector<float> distancesFrom(const std::vector<char>& source, int w, int h)
{
    constexpr int kFar = 1 << 28;
    std::vector<int> d(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) d[i] = source[i] ? 0 : kFar;
    const auto relax = [&](int x, int y, int nx, int ny, int step) {
        if (nx < 0 || ny < 0 || nx >= w || ny >= h) return;
        int& here = d[static_cast<std::size_t>(y) * w + x];
        here = std::min(here, d[static_cast<std::size_t>(ny) * w + nx] + step);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            relax(x, y, x - 1, y, 3), relax(x, y, x, y - 1, 3);
            relax(x, y, x - 1, y - 1, 4), relax(x, y, x + 1, y - 1, 4);
        }
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x) {
            relax(x, y, x + 1, y, 3), relax(x, y, x, y + 1, 3);
            relax(x, y, x + 1, y + 1, 4), relax(x, y, x - 1, y + 1, 4);
        }
    std::vector<float> out(d.size());
    for (std::size_t i = 0; i < d.size(); ++i) out[i] = float(d[i]) / 3.0f;
    return out;
}

// The pixels reachable from the seeds through pixels `open` allows, in 8
// (or 4) directions.
template <typename Open>
std::vector<char> grown(const Window& w, std::vector<std::pair<int, int>> seeds, bool diagonals, const Open& open)
{
    std::vector<char> in(static_cast<std::size_t>(w.width) * w.height, 0);
    for (const auto& [x, y] : seeds) in[w.index(x, y)] = 1;
    while (!seeds.empty()) {
        const auto [x, y] = seeds.back();
        seeds.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                if ((dx == 0 && dy == 0) || (!diagonals && dx != 0 && dy != 0)) continue;
                const int nx = x + dx, ny = y + dy;
                if (nx < w.x0 || ny < w.y0 || nx >= w.x0 + w.width || ny >= w.y0 + w.height) continue;
                const std::size_t i = w.index(nx, ny);
                if (in[i] || !open(nx, ny, i)) continue;
                in[i] = 1;
                seeds.emplace_back(nx, ny);
            }
    }
    return in;
}

// The clicked marker's pixels: the ink joined to the click, less the pieces
// of lines running on from it. Holes filled (a hollow marker's inside), a
// marker is far thicker than a line: taking away everything within 0.6 of
// the marker's half-thickness of the paper leaves the marker's core alone,
// and the ink near that core is the marker. A thin marker (a cross) has no
// such core; it is taken whole, where no line runs out of it. A hollow
// marker's inside is the paper it encloses: a line through it leaves a chord
// there that the other markers have at other angles, so only the outline, as
// deep as that paper, is the marker.
std::optional<std::vector<char>> markerPixels(const Grid& grid, const Window& w, int cx, int cy)
{
    constexpr float kSolid = 2.5f;  // half-thickness of the thinnest marker told from a line this way
    constexpr float kCore = 0.6f;
    constexpr float kInk = 0.3f;  // a pixel of the marker itself, its outline's fringe aside
    const auto ink = [&](int x, int y, std::size_t) { return !w.onRing(x, y) && grid.at(x, y) >= kInk; };
    const std::vector<char> joined = grown(w, {{cx, cy}}, true, ink);
    std::vector<std::pair<int, int>> ring;
    bool runsOn = false;
    for (int y = w.y0; y < w.y0 + w.height; ++y)
        for (int x = w.x0; x < w.x0 + w.width; ++x) {
            if (w.onRing(x, y)) ring.emplace_back(x, y);
            const bool nearRing = x <= w.x0 + 1 || y <= w.y0 + 1 || x >= w.x0 + w.width - 2 || y >= w.y0 + w.height - 2;
            runsOn = runsOn || (nearRing && joined[w.index(x, y)]);
        }
    const std::vector<char> outside = grown(w, ring, false, [&](int, int, std::size_t i) { return !joined[i]; });
    const std::vector<float> depth = distancesFrom(outside, w.width, w.height);
    const float thickest = *std::max_element(depth.begin(), depth.end());
    if (thickest < kSolid) {
        if (runsOn) return std::nullopt;
        return joined;
    }
    const float cut = kCore * thickest;
    std::optional<std::pair<int, int>> nearest;
    double best = 1e300;
    for (int y = w.y0; y < w.y0 + w.height; ++y)
        for (int x = w.x0; x < w.x0 + w.width; ++x) {
            const double d = std::hypot(x - cx, y - cy);
            if (depth[w.index(x, y)] > cut && d < best) best = d, nearest = std::pair{x, y};
        }
    const std::vector<char> core = grown(w, {*nearest}, true, [&](int, int, std::size_t i) { return depth[i] > cut; });
    const std::vector<float> fromCore = distancesFrom(core, w.width, w.height);
    std::vector<char> marker(joined.size(), 0);
    for (std::size_t i = 0; i < marker.size(); ++i) marker[i] = joined[i] && fromCore[i] <= cut + 1.5f;
    // The paper the outline encloses: what the paper around the marker, the
    // line's cut pieces now paper too, does not reach. A marker is hollow
    // where that is a tenth of it or more; a pocket between a line and a
    // filled marker's edge is less. Depths are taken from the paper around,
    // so that the outline is as deep where a line leaves it as elsewhere.
    const std::vector<char> around =
        grown(w, ring, false, [&](int, int, std::size_t i) { return !marker[i] && !core[i]; });
    const std::vector<float> fromAround = distancesFrom(around, w.width, w.height);
    std::size_t enclosed = 0, whole = 0;
    float inside = INFINITY;
    for (std::size_t i = 0; i < marker.size(); ++i) {
        const bool hole = !marker[i] && !around[i];
        enclosed += hole, whole += hole || marker[i];
        if (hole) inside = std::min(inside, fromAround[i]);
    }
    if (enclosed * 10 < whole) return marker;
    // The stubs of a line left on the outline are thinner than the marker
    // filled: what lies no farther than `inside` from a pixel at least that
    // deep in it is the marker's shape.
    std::vector<char> deep(marker.size(), 0);
    for (std::size_t i = 0; i < marker.size(); ++i) deep[i] = !around[i] && fromAround[i] > inside;
    const std::vector<float> fromDeep = distancesFrom(deep, w.width, w.height);
    std::vector<char> shape(marker.size(), 0);
    std::size_t before = 0, after = 0;
    for (std::size_t i = 0; i < marker.size(); ++i) {
        shape[i] = marker[i] && fromAround[i] < inside + 0.5f && fromDeep[i] <= inside + 0.5f;
        before += marker[i], after += shape[i];
    }
    // An outline too thin inside for that keeps its stubs.
    return after * 2 >= before ? shape : marker;
}

// True where the pixels lie along a line: over three times as long one way
// as across, by their spread.
bool elongated(const std::vector<char>& mask, const Window& w)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int y = 0; y < w.height; ++y)
        for (int x = 0; x < w.width; ++x)
            if (mask[static_cast<std::size_t>(y) * w.width + x])
                n += 1, sx += x, sy += y, sxx += double(x) * x, syy += double(y) * y, sxy += double(x) * y;
    if (n < 3) return true;
    const double vx = sxx / n - (sx / n) * (sx / n), vy = syy / n - (sy / n) * (sy / n),
                 cxy = sxy / n - (sx / n) * (sy / n);
    const double mean = (vx + vy) / 2, spread = std::sqrt((vx - vy) * (vx - vy) / 4 + cxy * cxy);
    return mean + spread > 9 * (mean - spread);
}

// A hollow marker's outline told by the paper it closes in, where a line
// through it is as thick as the marker's core and the core is the line's:
// the ink joined to the click within two pixels of the pockets of paper it
// encloses near the click.
std::optional<std::vector<char>> outlinePixels(const Grid& grid, const Window& w, int cx, int cy)
{
    constexpr float kInk = 0.3f;
    constexpr float kOutline = 2.5f;
    constexpr double kNear = 20;  // pixels from the click, beyond the largest marker's inside
    const auto ink = [&](int x, int y, std::size_t) { return !w.onRing(x, y) && grid.at(x, y) >= kInk; };
    const std::vector<char> joined = grown(w, {{cx, cy}}, true, ink);
    std::vector<std::pair<int, int>> ring;
    for (int y = w.y0; y < w.y0 + w.height; ++y)
        for (int x = w.x0; x < w.x0 + w.width; ++x)
            if (w.onRing(x, y)) ring.emplace_back(x, y);
    const std::vector<char> outside = grown(w, ring, false, [&](int, int, std::size_t i) { return !joined[i]; });
    std::vector<char> pockets(joined.size(), 0);
    bool any = false;
    for (int y = w.y0; y < w.y0 + w.height; ++y)
        for (int x = w.x0; x < w.x0 + w.width; ++x) {
            const std::size_t i = w.index(x, y);
            pockets[i] = !outside[i] && !joined[i] && std::hypot(x - cx, y - cy) <= kNear;
            any = any || pockets[i];
        }
    if (!any) return std::nullopt;
    const std::vector<float> fromPockets = distancesFrom(pockets, w.width, w.height);
    std::vector<char> outline(joined.size(), 0);
    for (std::size_t i = 0; i < outline.size(); ++i) outline[i] = joined[i] && fromPockets[i] <= kOutline;
    return outline;
}

std::optional<Template> templateOf(int width, int height, const std::vector<float>& ink)
{
    Template t;
    t.width = width, t.height = height;
    int left = width, top = height, right = -1, bottom = -1;
    double mx = 0, my = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float v = ink[static_cast<std::size_t>(y) * width + x];
            if (v <= 0) continue;
            t.ink.push_back({x, y, v});
            t.sum += v, t.sumSquares += double(v) * v, mx += v * x, my += v * y;
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        }
    if (t.sum <= 0) return std::nullopt;
    t.size = std::max(right - left + 1, bottom - top + 1);
    t.centreX = mx / t.sum, t.centreY = my / t.sum;
    t.inFootprint.assign(static_cast<std::size_t>(t.width) * t.height, 0);
    for (const Template::Ink& k : t.ink)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = k.dx + dx, y = k.dy + dy;
                if (x < 0 || y < 0 || x >= t.width || y >= t.height) continue;
                char& n = t.inFootprint[static_cast<std::size_t>(y) * t.width + x];
                if (!n) n = 1, t.footprint.emplace_back(x, y);
            }
    return t;
}

std::optional<Template> learnTemplate(const Grid& grid, int cx, int cy)
{
    constexpr int kPaper = 2;  // paper kept around the marker: a solid patch of ink matches it worse
    if (grid.at(cx, cy) < 0.3f) return std::nullopt;
    Window w;
    w.x0 = std::max(0, cx - kReach), w.y0 = std::max(0, cy - kReach);
    w.width = std::min(grid.width - 1, cx + kReach) - w.x0 + 1;
    w.height = std::min(grid.height - 1, cy + kReach) - w.y0 + 1;
    auto marker = markerPixels(grid, w, cx, cy);
    if (!marker || elongated(*marker, w))
        if (auto outline = outlinePixels(grid, w, cx, cy); outline && !elongated(*outline, w)) marker = outline;
    if (!marker) return std::nullopt;
    int left = grid.width, top = grid.height, right = -1, bottom = -1;
    for (int y = w.y0; y < w.y0 + w.height; ++y)
        for (int x = w.x0; x < w.x0 + w.width; ++x)
            if ((*marker)[w.index(x, y)])
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                bottom = std::max(bottom, y);
    if (right < left) return std::nullopt;
    left -= kPaper, top -= kPaper, right += kPaper, bottom += kPaper;
    const int width = right - left + 1, height = bottom - top + 1;
    std::vector<float> ink(static_cast<std::size_t>(width) * height, 0.0f);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (x >= w.x0 && y >= w.y0 && x < w.x0 + w.width && y < w.y0 + w.height && (*marker)[w.index(x, y)])
                ink[static_cast<std::size_t>(y - top) * width + (x - left)] = grid.at(x, y);
    return templateOf(width, height, ink);
}

std::optional<Template> agreedTemplate(const Grid& grid, const Template& t, const std::vector<std::pair<int, int>>& at)
{
    constexpr std::size_t kFewest = 5;  // markers to agree
    constexpr float kInk = 0.3f;        // as the clicked marker's pixels are taken
    constexpr double kExcess = 0.15;    // of the clicked marker's ink that the others lack
    if (at.size() < kFewest) return std::nullopt;
    std::vector<float> ink(static_cast<std::size_t>(t.width) * t.height, 0.0f), values;
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) {
            values.clear();
            for (const auto& [left, top] : at)
                if (grid.contains(left + x, top + y)) values.push_back(grid.at(left + x, top + y));
            if (values.size() < kFewest) continue;
            const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
            std::nth_element(values.begin(), middle, values.end());
            if (*middle >= kInk) ink[static_cast<std::size_t>(y) * t.width + x] = *middle;
        }
    double excess = 0;
    for (const Template::Ink& k : t.ink)
        excess += std::max(0.0f, k.value - ink[static_cast<std::size_t>(k.dy) * t.width + k.dx]);
    if (excess < kExcess * t.sum) return std::nullopt;
    return templateOf(t.width, t.height, ink);
}

}  // namespace vastrel::digitize::markers
