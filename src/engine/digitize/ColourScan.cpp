#include "engine/digitize/ColourScan.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

#include "engine/digitize/ColourRuns.h"
#include "engine/digitize/CurveFollowing.h"
#include "engine/digitize/ScanWindow.h"
#include "engine/digitize/StraightLines.h"
#include "engine/digitize/TrackLine.h"

namespace vastrel::digitize {

namespace {

ColourTarget targetOf(const CurveColour& colour)
{
    return ColourTarget{colour.red, colour.green, colour.blue, std::clamp(colour.tolerance, 0, 254)};
}

std::uint32_t argbAt(const image::PixelView& view, int x, int y)
{
    return view.pixels[static_cast<std::ptrdiff_t>(y) * view.stride + x];
}

// The ink of a colour on white paper: how far each component lies below 255.
struct Ink {
    double r, g, b;
    explicit Ink(std::uint32_t argb)
        : r(255.0 - ((argb >> 16) & 0xFFu)), g(255.0 - ((argb >> 8) & 0xFFu)), b(255.0 - (argb & 0xFFu))
    {}
    double dot(const Ink& o) const { return r * o.r + g * o.g + b * o.b; }
};

// The run of window column `column` under window row `row`, or the nearest one
// within two rows (a pale fringe pixel next to the line's core); one on a
// straight line across the window only where no other is as near.
std::optional<RunAt> runNear(const ColourRuns& runs, std::size_t column, std::int64_t row)
{
    constexpr std::int64_t kNear = 2;
    const auto candidates = runs.column(column);
    std::optional<RunAt> best;
    std::int64_t bestDistance = 2 * kNear + 2;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        const ColourRun& run = candidates[k];
        const std::int64_t d = row < run.top ? run.top - row : row > run.bottom ? row - run.bottom : 0;
        const std::int64_t ranked = 2 * d + (run.alongLine ? 1 : 0);
        if (d <= kNear && ranked < bestDistance) best = RunAt{column, k}, bestDistance = ranked;
    }
    return best;
}

// The window column and row of the pixel the colour was taken from, where
// that pixel lies in the part of the window inside the picture.
std::optional<std::pair<std::int64_t, std::int64_t>> clickInWindow(const image::PixelView& view,
                                                                   const ScanWindow& window, const CurveColour& colour)
{
    if (!view.contains(colour.x, colour.y)) return std::nullopt;
    const std::int64_t column = colour.x - static_cast<std::int64_t>(std::floor(window.firstColumn));
    const std::int64_t row = colour.y - static_cast<std::int64_t>(std::floor(window.firstRow));
    if (column < 0 || column >= window.columnCount() || row < 0 || row >= window.rowCount()) return std::nullopt;
    return std::pair{column, row};
}

// The run under the clicked pixel, or in the nearest column beside it that
// has one: where the click fell on a line taken out, its column is empty.
std::optional<RunAt> anchorRun(const ColourRuns& runs, std::optional<std::pair<std::int64_t, std::int64_t>> click)
{
    constexpr std::int64_t kBeside = 3;
    if (!click) return std::nullopt;
    const auto [column, row] = *click;
    for (std::int64_t d = 0; d <= kBeside; ++d)
        for (const std::int64_t c : {column - d, column + d})
            if (c >= 0 && c < static_cast<std::int64_t>(runs.columnCount()))
                if (const auto run = runNear(runs, static_cast<std::size_t>(c), row)) return run;
    return std::nullopt;
}

// The rows of a gap from column `before` to `after` (the found columns on
// either side). Where the curve passed under a mark of its colour, as under
// the marker of a data point that its straight pieces meet at, the pieces on
// either side are carried on to where they meet; elsewhere, and where they
// do not meet inside the gap, the straight line between the two rows.
void fillGap(const std::vector<TrackColumn>& track, std::size_t before, std::size_t after, std::vector<double>& rows)
{
    const double from = *track[before].row, to = *track[after].row;
    const auto straight = [&](double column) {
        return from + (to - from) * (column - double(before)) / double(after - before);
    };
    bool crossed = false;
    for (std::size_t k = before + 1; k < after; ++k) crossed = crossed || track[k].crossed;
    const auto left = crossed ? lineThrough(track, before, -1) : std::nullopt;
    const auto right = crossed ? lineThrough(track, after, +1) : std::nullopt;
    std::optional<double> meet;
    if (left && right && left->b != right->b) {
        const double column = (right->a - left->a) / (left->b - right->b);
        if (column > double(before) && column < double(after)) meet = column;
    }
    for (std::size_t k = before + 1; k < after; ++k) {
        const double column = double(k);
        rows[k] = !meet ? straight(column) : column <= *meet ? left->at(column) : right->at(column);
    }
}

// From the first found column to the last: found rows kept, the gaps filled.
ColourTrack filledRows(const std::vector<TrackColumn>& track, double firstRow)
{
    ColourTrack filled;
    std::vector<double> rows(track.size(), 0.0);
    std::optional<std::size_t> previous, first;
    for (std::size_t i = 0; i < track.size(); ++i) {
        if (!track[i].row) continue;
        rows[i] = *track[i].row;
        if (previous && i > *previous + 1) fillGap(track, *previous, i, rows);
        if (!first) first = i;
        previous = i;
    }
    if (!first) return filled;
    filled.first = *first;
    for (std::size_t i = *first; i <= *previous; ++i) filled.rows.push_back(static_cast<float>(firstRow + rows[i]));
    return filled;
}

}  // namespace

CurveColour fullestShadeNear(const image::PixelView& view, const CurveColour& colour)
{
    // A neighbour qualifies when its ink points the same way as the chosen
    // colour's (the cosine of the angle between them at least this) and is
    // stronger. The direction, not each component, is compared: a JPEG shifts
    // the components of a line's pale edge by dozens of levels, never its hue
    // that much. Two pixels around: a thin line's core can lie two rows away
    // from a fringe pixel still pale enough to be taken for it.
    constexpr double kSameDirection = 0.97;
    constexpr int kReach = 2;
    constexpr double kLeastInk = 24.0;  // a nearly white colour has no hue to follow

    if (!view.pixels || !view.contains(colour.x, colour.y)) return colour;
    const ColourTarget target = targetOf(colour);
    if (closenessTo(target, argbAt(view, colour.x, colour.y)) == 0) return colour;
    const std::uint32_t chosenArgb = 0xFF000000u | static_cast<std::uint32_t>(colour.red) << 16 |
                                     static_cast<std::uint32_t>(colour.green) << 8 | colour.blue;
    const Ink chosen(chosenArgb);
    const double strength = chosen.dot(chosen);
    if (strength < kLeastInk * kLeastInk) return colour;

    CurveColour fullest = colour;
    double fullestStrength = strength;
    for (int dy = -kReach; dy <= kReach; ++dy) {
        for (int dx = -kReach; dx <= kReach; ++dx) {
            const int x = colour.x + dx, y = colour.y + dy;
            if (!view.contains(x, y)) continue;
            const std::uint32_t argb = argbAt(view, x, y);
            const Ink ink(argb);
            const double inkStrength = ink.dot(ink);
            if (inkStrength <= fullestStrength) continue;
            const double along = ink.dot(chosen);
            if (along <= 0.0 || along * along < kSameDirection * kSameDirection * inkStrength * strength) continue;
            fullestStrength = inkStrength;
            fullest.x = x;
            fullest.y = y;
            fullest.red = static_cast<std::uint8_t>((argb >> 16) & 0xFFu);
            fullest.green = static_cast<std::uint8_t>((argb >> 8) & 0xFFu);
            fullest.blue = static_cast<std::uint8_t>(argb & 0xFFu);
        }
    }
    return fullest;
}

CurveColour curveColourAt(const image::PixelView& view, int x, int y)
{
    const std::int32_t shown = view.point(x, y);  // &H00BBGGRR
    const CurveColour clicked{static_cast<std::uint8_t>(shown & 0xFF), static_cast<std::uint8_t>((shown >> 8) & 0xFF),
                              static_cast<std::uint8_t>((shown >> 16) & 0xFF), x, y};
    return fullestShadeNear(view, clicked);
}

bool isPaperColour(const CurveColour& colour)
{
    return closenessTo(targetOf(colour), 0xFFFFFFFFu) > 0;
}

std::variant<CurveColour, ColourRefusal> chooseColourAt(const image::PixelView& view, int pictureWidth,
                                                        int pictureHeight, double x, double y)
{
    if (!(x >= 0 && y >= 0 && x < pictureWidth && y < pictureHeight) || !view.contains(int(x), int(y)))
        return ColourRefusal::OutsidePicture;
    const CurveColour chosen = curveColourAt(view, static_cast<int>(x), static_cast<int>(y));
    if (isPaperColour(chosen)) return ColourRefusal::Paper;
    return chosen;
}

std::optional<ColourTrack> scanColumnsForColour(const image::PixelView& view, const References& refs,
                                                const CurveColour& colour)
{
    const ScanWindow window = colourScanWindowOf(refs);
    if (window.columnCount() == 0) return ColourTrack{};
    const CurveColour matched = fullestShadeNear(view, colour);
    const ColourRuns found = findColourRuns(view, window, targetOf(matched));
    if (found.totalRuns() == 0) return std::nullopt;
    const auto click = clickInWindow(view, window, matched);
    const StraightLines lines = findStraightLines(found, window.rowCount());
    const ColourRuns runs = lines.anyAlongRows() ? withStraightLinesMarked(found, lines) : found;
    const auto track = followCurve(runs, anchorRun(runs, click), window.rowCount());
    return filledRows(track, window.firstRow);
}

}  // namespace vastrel::digitize
