#include "engine/digitize/ScatterMarkers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "engine/digitize/ColourRuns.h"

namespace vastrel::digitize {

namespace {

// The farthest the clicked marker's ink may reach from the click; the area is
// searched with as wide a margin of paper around it, so that a marker cut by
// the area's edge is still matched.
constexpr int kReach = 40;
constexpr int kPad = kReach;

// How much of the marker's ink every pixel of the area and its margin holds,
// 0 .. 1: the pixel's ink (its distance below white paper) measured along
// the marker colour's, and nothing where what is left over differs from the
// colour by more than the tolerance. Unlike the closeness the colour scan
// takes, this keeps the pale pixels of a thin anti-aliased outline at their
// share, which the outline's shape and centre are made of.
struct Grid {
    int width = 0;
    int height = 0;
    std::vector<float> values;

    float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
};

Grid inkOver(const image::PixelView& view, const PixelArea& area, const ColourTarget& target)
{
    constexpr float kFaintest = 0.08f;  // paper noise and a JPEG's ringing, not ink
    Grid grid;
    grid.width = area.right - area.left + 1 + 2 * kPad;
    grid.height = area.bottom - area.top + 1 + 2 * kPad;
    grid.values.assign(static_cast<std::size_t>(grid.width) * grid.height, 0.0f);
    const float ir = 255.0f - target.red, ig = 255.0f - target.green, ib = 255.0f - target.blue;
    const float norm = 1.0f / (ir * ir + ig * ig + ib * ib);
    const float allowed = float(target.tolerance);
    for (int y = area.top; y <= area.bottom; ++y) {
        const std::uint32_t* in = view.pixels + static_cast<std::ptrdiff_t>(y) * view.stride;
        float* out = &grid.values[static_cast<std::size_t>(y - area.top + kPad) * grid.width + kPad];
        for (int x = area.left; x <= area.right; ++x) {
            const std::uint32_t argb = in[x];
            if ((argb & 0xFFFFFFu) == 0xFFFFFFu) continue;  // most of a graph is paper
            const float pr = 255.0f - float((argb >> 16) & 0xFFu), pg = 255.0f - float((argb >> 8) & 0xFFu),
                        pb = 255.0f - float(argb & 0xFFu);
            const float share = std::clamp((pr * ir + pg * ig + pb * ib) * norm, 0.0f, 1.0f);
            const float off =
                std::max({std::fabs(pr - share * ir), std::fabs(pg - share * ig), std::fabs(pb - share * ib)});
            out[x - area.left] = share >= kFaintest && off <= allowed ? share : 0.0f;
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

// The clicked marker as a template of closeness, on a box of the grid with a
// little paper around the marker's own pixels.
struct Template {
    int width = 0, height = 0;
    struct Ink {
        int dx, dy;
        float value;
    };
    std::vector<Ink> ink;
    std::vector<std::pair<int, int>> footprint;  // the ink and the pixels next to it, for the centre
    double sum = 0, sumSquares = 0;
    double centreX = 0, centreY = 0;  // from the box's top left pixel
    double size = 0;
};

// The clicked marker's pixels: the ink joined to the click, less the pieces
// of lines running on from it. Holes filled (a hollow marker's inside), a
// marker is far thicker than a line: taking away everything within 0.6 of
// the marker's half-thickness of the paper leaves the marker's core alone,
// and the ink near that core is the marker. A thin marker (a cross) has no
// such core; it is taken whole, where no line runs out of it.
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
    return marker;
}

std::optional<Template> learnTemplate(const Grid& grid, int cx, int cy)
{
    constexpr int kPaper = 2;  // paper kept around the marker: a solid patch of ink matches it worse
    if (grid.at(cx, cy) < 0.3f) return std::nullopt;
    Window w;
    w.x0 = std::max(0, cx - kReach), w.y0 = std::max(0, cy - kReach);
    w.width = std::min(grid.width - 1, cx + kReach) - w.x0 + 1;
    w.height = std::min(grid.height - 1, cy + kReach) - w.y0 + 1;
    const auto marker = markerPixels(grid, w, cx, cy);
    if (!marker) return std::nullopt;
    int left = grid.width, top = grid.height, right = -1, bottom = -1;
    for (int y = w.y0; y < w.y0 + w.height; ++y)
        for (int x = w.x0; x < w.x0 + w.width; ++x)
            if ((*marker)[w.index(x, y)])
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                bottom = std::max(bottom, y);
    Template t;
    t.size = std::max(right - left + 1, bottom - top + 1);
    left -= kPaper, top -= kPaper, right += kPaper, bottom += kPaper;
    t.width = right - left + 1, t.height = bottom - top + 1;
    double mx = 0, my = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            if (x < w.x0 || y < w.y0 || x >= w.x0 + w.width || y >= w.y0 + w.height) continue;
            if (!(*marker)[w.index(x, y)]) continue;
            const float v = grid.at(x, y);
            t.ink.push_back({x - left, y - top, v});
            t.sum += v, t.sumSquares += double(v) * v, mx += v * (x - left), my += v * (y - top);
        }
    t.centreX = mx / t.sum, t.centreY = my / t.sum;
    std::vector<char> near(static_cast<std::size_t>(t.width) * t.height, 0);
    for (const Template::Ink& k : t.ink)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = k.dx + dx, y = k.dy + dy;
                if (x < 0 || y < 0 || x >= t.width || y >= t.height) continue;
                char& n = near[static_cast<std::size_t>(y) * t.width + x];
                if (!n) n = 1, t.footprint.emplace_back(x, y);
            }
    return t;
}

// Sums of the grid and of its squares over any box, from summed-area tables
// of the ink in 1/255ths. The tables wrap around past 2^32, but a box's sum
// never comes near that, and unsigned differences undo the wrapping exactly:
// half the memory of doubles, and exact.
struct BoxSums {
    int width = 0;  // grid width + 1
    std::vector<std::uint32_t> sum, squares;

    explicit BoxSums(const Grid& g) : width(g.width + 1)
    {
        const std::size_t n = static_cast<std::size_t>(g.width + 1) * (g.height + 1);
        sum.assign(n, 0u), squares.assign(n, 0u);
        for (int y = 0; y < g.height; ++y) {
            std::uint32_t row = 0, rowSquares = 0;
            const float* in = &g.values[static_cast<std::size_t>(y) * g.width];
            std::uint32_t* out = &sum[static_cast<std::size_t>(y + 1) * width + 1];
            std::uint32_t* outSquares = &squares[static_cast<std::size_t>(y + 1) * width + 1];
            for (int x = 0; x < g.width; ++x) {
                const auto v = static_cast<std::uint32_t>(in[x] * 255.0f + 0.5f);
                row += v, rowSquares += v * v;
                out[x] = out[x - width] + row, outSquares[x] = outSquares[x - width] + rowSquares;
            }
        }
    }
    static double box(const std::vector<std::uint32_t>& t, int width, int x, int y, int w, int h, double unit)
    {
        const std::size_t a = static_cast<std::size_t>(y) * width + x, b = a + static_cast<std::size_t>(h) * width;
        return double(std::uint32_t(t[b + w] - t[b] - t[a + w] + t[a])) / unit;
    }
    double inkIn(int x, int y, int w, int h) const { return box(sum, width, x, y, w, h, 255.0); }
    double squaresIn(int x, int y, int w, int h) const { return box(squares, width, x, y, w, h, 65025.0); }
};

// Normalized cross-correlation of the template with the grid's box at (x, y).
double correlation(const Grid& g, const BoxSums& sums, const Template& t, int x, int y)
{
    const double n = double(t.width) * t.height;
    const double s = sums.inkIn(x, y, t.width, t.height);
    const double s2 = sums.squaresIn(x, y, t.width, t.height);
    double cross = 0;
    for (const Template::Ink& k : t.ink) cross += double(k.value) * g.at(x + k.dx, y + k.dy);
    const double spread = (s2 - s * s / n) * (t.sumSquares - t.sum * t.sum / n);
    return spread > 0 ? (cross - s * t.sum / n) / std::sqrt(spread) : 0.0;
}

struct Match {
    double score;
    double x, y;  // grid pixels
};

// The ink-weighted centre of the ink under the marker's footprint placed at
// (x, y), twice re-placed: only ink on or next to the marker's own pixels
// counts, not a line's pieces or a neighbour's beyond it.
std::pair<double, double> inkCentre(const Grid& g, const Template& t, double x, double y)
{
    for (int pass = 0; pass < 3; ++pass) {
        const int left = int(std::lround(x - t.centreX)), top = int(std::lround(y - t.centreY));
        double m = 0, mx = 0, my = 0;
        for (const auto& [dx, dy] : t.footprint) {
            const int px = left + dx, py = top + dy;
            if (px < 0 || py < 0 || px >= g.width || py >= g.height) continue;
            const double v = g.at(px, py);
            m += v, mx += v * px, my += v * py;
        }
        if (m <= 0) break;
        x = mx / m, y = my / m;
    }
    return {x, y};
}

}  // namespace

MarkerSearch findScatterMarkers(const image::PixelView& view, const PixelArea& wanted, int clickX, int clickY,
                                int tolerance)
{
    // The share of the template's ink a box must hold to be correlated at
    // all, the correlation a marker reaches (one crossed by a line or
    // overlapped by another still does), and the nearest two markers' centres
    // may lie, as a share of the size.
    constexpr double kLeastInk = 0.5;
    constexpr double kMatch = 0.6;
    constexpr double kApart = 0.55;

    MarkerSearch result;
    const PixelArea area{std::max(wanted.left, 0), std::max(wanted.top, 0), std::min(wanted.right, view.width - 1),
                         std::min(wanted.bottom, view.height - 1)};
    if (!view.pixels || area.left > area.right || area.top > area.bottom) {
        result.refusal = "the plotting area is empty";
        return result;
    }
    const auto inArea = [&](int x, int y) {
        return x >= area.left && x <= area.right && y >= area.top && y <= area.bottom;
    };
    if (!inArea(clickX, clickY)) {
        result.refusal = "the click lies outside the plotting area";
        return result;
    }
    CurveColour colour = curveColourAt(view, clickX, clickY);
    colour.tolerance = std::clamp(tolerance, 0, 254);
    if (isPaperColour(colour) || !inArea(colour.x, colour.y)) {
        result.refusal = "no marker at the clicked pixel";
        return result;
    }
    const ColourTarget target{colour.red, colour.green, colour.blue, colour.tolerance};
    const Grid grid = inkOver(view, area, target);
    const auto found = learnTemplate(grid, colour.x - area.left + kPad, colour.y - area.top + kPad);
    if (!found) {
        result.refusal = "the clicked marker cannot be told from a line running on from it";
        return result;
    }
    const Template& t = *found;
    result.size = t.size;

    const BoxSums sums(grid);
    const int columns = grid.width - t.width + 1, rows = grid.height - t.height + 1;
    std::vector<float> score(static_cast<std::size_t>(std::max(columns, 0)) * std::max(rows, 0), -1.0f);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            if (sums.inkIn(x, y, t.width, t.height) >= kLeastInk * t.sum)
                score[static_cast<std::size_t>(y) * columns + x] = float(correlation(grid, sums, t, x, y));

    std::vector<Match> peaks;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const float s = score[static_cast<std::size_t>(y) * columns + x];
            if (s < kMatch) continue;
            bool highest = true;
            for (int dy = -1; dy <= 1 && highest; ++dy)
                for (int dx = -1; dx <= 1 && highest; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= columns || ny >= rows) continue;
                    const float n = score[static_cast<std::size_t>(ny) * columns + nx];
                    // Of equal neighbours the first in reading order stands.
                    highest = n < s || (n == s && (dy > 0 || (dy == 0 && dx > 0)));
                }
            if (highest) peaks.push_back({s, x + t.centreX, y + t.centreY});
        }
    std::sort(peaks.begin(), peaks.end(), [](const Match& a, const Match& b) { return a.score > b.score; });
    std::vector<Match> kept;
    const double apart = kApart * t.size;
    for (const Match& p : peaks)
        if (std::none_of(kept.begin(), kept.end(),
                         [&](const Match& k) { return std::hypot(k.x - p.x, k.y - p.y) < apart; }))
            kept.push_back(p);

    for (const Match& k : kept) {
        const auto [x, y] = inkCentre(grid, t, k.x, k.y);
        const double column = x - kPad + area.left, row = y - kPad + area.top;
        if (column < area.left - 0.5 || column > area.right + 0.5 || row < area.top - 0.5 || row > area.bottom + 0.5)
            continue;
        result.centres.push_back({column, row});
    }
    std::sort(result.centres.begin(), result.centres.end(), [](const MarkerPoint& a, const MarkerPoint& b) {
        return a.column != b.column ? a.column < b.column : a.row < b.row;
    });
    return result;
}

}  // namespace vastrel::digitize
