#include "engine/digitize/ScatterMarkers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <utility>

#include "engine/digitize/ColourRuns.h"
#include "engine/digitize/LegendBoxes.h"
#include "engine/digitize/MarkerTemplate.h"
#include "engine/digitize/RobustCentre.h"

namespace vastrel::digitize {

using markers::Grid;
using markers::kPad;
using markers::Template;

namespace {

// Sums of the grid and of its squares over the boxes of the template's size
// along one row of box tops at a time, in whole 1/255ths of ink so that
// adding the row coming in and taking away the one going out is exact. The
// rows are visited from the top down.
class BoxRows {
public:
    BoxRows(const Grid& g, int boxWidth, int boxHeight)
        : g_(g), w_(boxWidth), h_(boxHeight), columns_(std::size_t(std::max(g.width, 0)), 0),
          columnSquares_(columns_.size(), 0), sums_(columns_.size(), 0), squares_(columns_.size(), 0)
    {}

    void moveTo(int top)
    {
        if (top_ < 0)
            for (int y = top; y < top + h_; ++y) add(y, 1);
        else
            for (int y = top_; y < top; ++y) add(y, -1), add(y + h_, 1);
        top_ = top;
        std::uint64_t s = 0, s2 = 0;
        for (int x = 0; x < w_ && x < g_.width; ++x) s += columns_[x], s2 += columnSquares_[x];
        for (int x = 0; x + w_ <= g_.width; ++x) {
            sums_[x] = s, squares_[x] = s2;
            if (x + w_ < g_.width)
                s += columns_[x + w_] - columns_[x], s2 += columnSquares_[x + w_] - columnSquares_[x];
        }
    }
    double inkIn(int x) const { return double(sums_[x]) / 255.0; }
    double squaresIn(int x) const { return double(squares_[x]) / 65025.0; }

private:
    void add(int y, int sign)
    {
        if (y < 0 || y >= g_.height) return;
        const float* in = &g_.values[static_cast<std::size_t>(y) * g_.width];
        for (int x = 0; x < g_.width; ++x) {
            const auto v = static_cast<std::uint64_t>(in[x] * 255.0f + 0.5f);
            columns_[x] += sign > 0 ? v : -v, columnSquares_[x] += sign > 0 ? v * v : -(v * v);
        }
    }

    const Grid& g_;
    int w_, h_, top_ = -1;
    std::vector<std::uint64_t> columns_, columnSquares_, sums_, squares_;
};

// The template's ink as offsets into the grid's values, for the correlation.
struct Weights {
    std::vector<std::ptrdiff_t> offsets;
    std::vector<float> values;

    Weights(const Grid& g, const Template& t)
    {
        for (const Template::Ink& k : t.ink)
            offsets.push_back(std::ptrdiff_t(k.dy) * g.width + k.dx), values.push_back(k.value);
    }
};

double correlation(const Grid& g, const BoxRows& sums, const Template& t, const Weights& w, int x, int y)
{
    const double n = double(t.width) * t.height;
    const double s = sums.inkIn(x), s2 = sums.squaresIn(x);
    const float* base = &g.values[static_cast<std::size_t>(y) * g.width + x];
    float cross = 0;
    for (std::size_t k = 0; k < w.offsets.size(); ++k) cross += w.values[k] * base[w.offsets[k]];
    const double spread = (s2 - s * s / n) * (t.sumSquares - t.sum * t.sum / n);
    return spread > 0 ? (double(cross) - s * t.sum / n) / std::sqrt(spread) : 0.0;
}

struct Match {
    double score;
    double x, y;  // the centre, in grid pixels
};

// A marker placed on the grid: its template's box from (left, top), put
// there to the nearest pixel, and its centre.
struct Placed {
    double x, y;
    int left = 0, top = 0;

    Placed(const Template& t, double cx, double cy)
        : x(cx), y(cy), left(int(std::lround(cx - t.centreX))), top(int(std::lround(cy - t.centreY)))
    {}
};

bool coveredByOthers(const Template& t, const std::vector<const Placed*>& others, int x, int y)
{
    return std::any_of(others.begin(), others.end(),
                       [&](const Placed* o) { return t.covers(x - o->left, y - o->top); });
}

// The sector, of eight around the template's centre, each of its ink pixels
// lies in; -1 for those at the centre.
std::vector<int> sectorsOf(const Template& t)
{
    std::vector<int> sectors;
    for (const Template::Ink& k : t.ink) {
        const double dx = k.dx - t.centreX, dy = k.dy - t.centreY;
        sectors.push_back(std::hypot(dx, dy) < 1.0
                              ? -1
                              : int(std::lround((std::atan2(dy, dx) + std::numbers::pi) / (2 * std::numbers::pi) * 8)) %
                                    8);
    }
    return sectors;
}

// Whether the ink the template expects is there with the template placed at
// `p`, all round: in each of the eight sectors about its centre that hold a
// share of its ink, most of that ink is found on its pixel or those next to
// it (a blurred, shifted or differently rasterized outline still counts). The pixels the footprints of
// markers beside it cover are left out, as theirs; enough must be left to
// judge, as are those under ink of another colour. A line, the frame's
// corner or a tick, a piece of a marker beside, each lack the ink of whole
// sectors.
bool wholeMarkerAt(const Grid& g, const Template& t, const std::vector<int>& sectors, const Placed& p,
                   const std::vector<const Placed*>& others)
{
    constexpr double kPresent = 0.6;
    constexpr double kJudged = 0.35;
    std::array<double, 8> expected{}, present{};
    double judged = 0;
    for (std::size_t i = 0; i < t.ink.size(); ++i) {
        const Template::Ink& k = t.ink[i];
        const int x = p.left + k.dx, y = p.top + k.dy;
        if (sectors[i] < 0 || !g.contains(x, y) || g.hiddenAt(x, y) || coveredByOthers(t, others, x, y)) continue;
        float most = 0, around = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (g.contains(x + dx, y + dy))
                    most = std::max(most, g.at(x + dx, y + dy)), around += g.at(x + dx, y + dy);
        // A line of one pixel drawn over two at half strength is there in full.
        const float found = std::max(most, around / 3);
        expected[std::size_t(sectors[i])] += k.value;
        present[std::size_t(sectors[i])] += std::min(k.value, found);
        judged += k.value;
    }
    if (judged < kJudged * t.sum) return false;
    for (std::size_t s = 0; s < 8; ++s)
        if (expected[s] >= t.sum / 16 && present[s] < kPresent * expected[s]) return false;
    return true;
}

// Ink on a pixel of the footprint where the template has little or none, that
// runs on for pixels out of the footprint away from the centre or into a
// hollow marker's inside, as ink of its colour or another's: a line crossing
// the marker's edge, or blurred into it, not the marker.
bool lineCrossing(const Grid& g, const Template& t, const std::vector<float>& model, const Placed& p, int dx, int dy)
{
    constexpr float kInk = 0.3f;
    const int x = p.left + dx, y = p.top + dy;
    const float expected = model[static_cast<std::size_t>(dy) * t.width + dx];
    if (expected >= 2 * kInk || g.at(x, y) < std::max(kInk, expected + kInk)) return false;
    const double rx = dx - t.centreX, ry = dy - t.centreY, r = std::hypot(rx, ry);
    if (r < 1.0) return false;
    // From the pixel on along the ray until the footprint is left, then two
    // pixels of ink beyond it.
    const auto runsOn = [&](double way) {
        int beyond = 0;
        for (double step = 1.0; step <= 8.0 && beyond < 2; step += 1.0) {
            const int qx = dx + int(std::lround(way * step * rx / r)), qy = dy + int(std::lround(way * step * ry / r));
            if (t.covers(qx, qy)) {
                if (beyond) return false;
                continue;
            }
            const int ax = p.left + qx, ay = p.top + qy;
            if (!g.contains(ax, ay) || (g.at(ax, ay) < kInk && !g.hiddenAt(ax, ay))) return false;
            ++beyond;
        }
        return beyond == 2;
    };
    return runsOn(1.0) || runsOn(-1.0);
}

// The centre of the marker placed at `p`, from the ink under its footprint
// less the pixels of the markers beside it, of lines crossing its edge and of
// ink of other colours over it:
// the ink-weighted centre there, less that of the template's own ink under
// the same pixels, is how far the marker lies from where the template was
// put. Only ink on or next to the marker's own pixels counts.
std::pair<double, double> centreOf(const Grid& g, const Template& t, const std::vector<float>& model, const Placed& p,
                                   const std::vector<const Placed*>& others)
{
    double m = 0, mx = 0, my = 0, tm = 0, tmx = 0, tmy = 0;
    for (const auto& [dx, dy] : t.footprint) {
        const int x = p.left + dx, y = p.top + dy;
        if (!g.contains(x, y) || g.hiddenAt(x, y) || coveredByOthers(t, others, x, y) ||
            lineCrossing(g, t, model, p, dx, dy))
            continue;
        const double v = g.at(x, y), w = model[static_cast<std::size_t>(dy) * t.width + dx];
        m += v, mx += v * dx, my += v * dy;
        tm += w, tmx += w * dx, tmy += w * dy;
    }
    if (m <= 0 || tm <= 0) return {p.x, p.y};
    return {p.left + t.centreX + mx / m - tmx / tm, p.top + t.centreY + my / m - tmy / tm};
}

// The share of the template's ink a box must hold to be correlated at
// all, the correlation a marker reaches (one crossed by a line or
// overlapped by another still does), and the nearest two markers'
// centres may lie, as a share of the size: overlapping ones are told
// apart by the ink each has where the other's does not reach.
constexpr double kLeastInk = 0.7;
constexpr double kMatch = 0.5;
constexpr double kApart = 0.3;
constexpr double kBeside = 1.6;  // markers nearer than this share of the size share pixels

// The markers kept that lie near enough to (x, y) to share pixels with one there.
std::vector<const Placed*> besideOf(const std::vector<Placed>& kept, const Template& t, double x, double y,
                                    const Placed* self)
{
    std::vector<const Placed*> near;
    for (const Placed& k : kept)
        if (&k != self && std::hypot(k.x - x, k.y - y) < kBeside * t.size) near.push_back(&k);
    return near;
}

// The markers like the template over the grid: the peaks of its
// correlation, the best first, each of them showing a whole marker where the
// ones already kept beside it leave ink to see.
std::vector<Placed> matchesOf(const Grid& grid, const Template& t)
{
    const std::vector<int> sectors = sectorsOf(t);
    BoxRows sums(grid, t.width, t.height);
    const Weights weights(grid, t);
    const int columns = grid.width - t.width + 1, rows = grid.height - t.height + 1;
    // The correlations three rows at a time, each row's peaks found as the
    // next one comes: a whole map of them would cost more to fill than to
    // compute.
    std::vector<float> band(static_cast<std::size_t>(std::max(columns, 0)) * 3, -1.0f);
    const auto rowOf = [&](int y) { return &band[static_cast<std::size_t>((y % 3 + 3) % 3) * columns]; };
    const auto fill = [&](int y) {
        float* row = rowOf(y);
        if (y < rows) sums.moveTo(y);
        for (int x = 0; x < columns; ++x)
            row[x] = y < rows && sums.inkIn(x) >= kLeastInk * t.sum ? float(correlation(grid, sums, t, weights, x, y))
                                                                    : -1.0f;
    };
    std::vector<Match> peaks;
    if (rows > 0) fill(0);
    for (int y = 0; y < rows; ++y) {
        fill(y + 1);
        const float* here = rowOf(y);
        for (int x = 0; x < columns; ++x) {
            const float s = here[x];
            if (s < kMatch) continue;
            bool highest = true;
            for (int dy = -1; dy <= 1 && highest; ++dy) {
                if (y + dy < 0 || y + dy >= rows) continue;
                const float* row = rowOf(y + dy);
                for (int dx = -1; dx <= 1 && highest; ++dx) {
                    const int nx = x + dx;
                    if ((dx == 0 && dy == 0) || nx < 0 || nx >= columns) continue;
                    // Of equal neighbours the first in reading order stands.
                    highest = row[nx] < s || (row[nx] == s && (dy > 0 || (dy == 0 && dx > 0)));
                }
            }
            if (highest) peaks.push_back({s, x + t.centreX, y + t.centreY});
        }
    }
    std::sort(peaks.begin(), peaks.end(), [](const Match& a, const Match& b) { return a.score > b.score; });

    // The best matches first; each must show a whole marker where the ones
    // already kept beside it leave ink to see.
    std::vector<Placed> kept;
    const auto beside = [&](double x, double y) { return besideOf(kept, t, x, y, nullptr); };
    for (const Match& p : peaks) {
        const std::vector<const Placed*> near = beside(p.x, p.y);
        if (std::any_of(near.begin(), near.end(),
                        [&](const Placed* k) { return std::hypot(k->x - p.x, k->y - p.y) < kApart * t.size; }))
            continue;
        const Placed here(t, p.x, p.y);
        const bool whole = wholeMarkerAt(grid, t, sectors, here, near);
        if (whole) kept.push_back(here);
    }
    return kept;
}

}  // namespace

MarkerSearch findScatterMarkers(const image::PixelView& view, const PixelArea& wanted, int clickX, int clickY,
                                int tolerance)
{
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
    const Grid grid = markers::inkOver(view, area, target);
    const auto found = markers::learnTemplate(grid, colour.x - area.left + kPad, colour.y - area.top + kPad);
    if (!found) {
        result.refusal = "the clicked marker cannot be told from a line running on from it";
        return result;
    }
    result.size = found->size;
    // Found by the clicked marker, the markers then show what in it is theirs
    // too; found again by that where a line through the clicked one is not.
    std::optional<Template> chosen = found;
    std::vector<Placed> kept = matchesOf(grid, *chosen);
    std::vector<std::pair<int, int>> at;
    for (const Placed& k : kept) at.emplace_back(k.left, k.top);
    const auto agreed = markers::agreedTemplate(grid, *chosen, at);
    if (agreed) chosen = agreed, kept = matchesOf(grid, *chosen);
    const Template& t = *chosen;
    std::vector<float> model(static_cast<std::size_t>(t.width) * t.height, 0.0f);
    for (const Template::Ink& k : t.ink) model[static_cast<std::size_t>(k.dy) * t.width + k.dx] = k.value;
    // Each centre from its own ink, the pixels of those beside it left out,
    // a few times over as the neighbours' places settle too.
    for (int pass = 0; pass < 3; ++pass)
        for (Placed& k : kept) {
            const auto [x, y] = centreOf(grid, t, model, k, besideOf(kept, t, k.x, k.y, &k));
            k = Placed(t, x, y);
        }
    // Then where ink running out of it on one side does not move it: a
    // marker that is its own mirror image where its ink is so too; another,
    // where a line ran through the clicked one, where the template the
    // markers agree on matches its ink best. (Moved between pixels, a
    // template matches an outline drawn off the grid less well than the ink
    // weighs, so a clean one keeps its ink-weighted centre.)
    const bool symmetric = markers::pointSymmetric(t);
    if (symmetric || agreed)
        for (Placed& k : kept) {
            const std::vector<const Placed*> near = besideOf(kept, t, k.x, k.y, &k);
            const auto skip = [&](int x, int y) {
                return !grid.contains(x, y) || grid.hiddenAt(x, y) || coveredByOthers(t, near, x, y);
            };
            const auto [x, y] = symmetric ? markers::symmetricCentre(grid, t, k.left, k.top, k.x, k.y, skip)
                                          : markers::fittedCentre(grid, t, k.left, k.top, k.x, k.y, skip);
            k = Placed(t, x, y);
        }

    for (const Placed& k : kept) {
        const double column = k.x - kPad + area.left, row = k.y - kPad + area.top;
        if (column < area.left - 0.5 || column > area.right + 0.5 || row < area.top - 0.5 || row > area.bottom + 0.5)
            continue;
        // A legend's sample of the series is drawn like its markers.
        if (inLegendBox(view, area, column, row, t.size)) continue;
        result.centres.push_back({column, row});
    }
    std::sort(result.centres.begin(), result.centres.end(), [](const MarkerPoint& a, const MarkerPoint& b) {
        return a.column != b.column ? a.column < b.column : a.row < b.row;
    });
    return result;
}

}  // namespace vastrel::digitize
