#include "engine/digitize/SeriesEdits.h"

#include <algorithm>
#include <cmath>

namespace vastrel::digitize {

namespace {

bool finite(const GraphValues& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

}  // namespace

std::optional<std::size_t> pointNear(const results::Series& series, PlanePoint pixel, double radius)
{
    std::optional<std::size_t> nearest;
    double best = radius;
    for (std::size_t i = 0; i < series.points.size(); ++i) {
        const double d = std::hypot(series.points[i].column - pixel.x, series.points[i].row - pixel.y);
        if (d <= best) best = d, nearest = i;
    }
    return nearest;
}

std::vector<std::size_t> pointsInside(const results::Series& series, const QRectF& area)
{
    std::vector<std::size_t> inside;
    for (std::size_t i = 0; i < series.points.size(); ++i) {
        const results::SeriesPoint& p = series.points[i];
        if (p.column >= area.left() && p.column <= area.right() && p.row >= area.top() && p.row <= area.bottom())
            inside.push_back(i);
    }
    return inside;
}

bool movePoints(results::Series& series, const std::vector<std::size_t>& which, double dx, double dy,
                const PixelCalibration& calibration)
{
    std::vector<results::SeriesPoint> moved = series.points;
    for (const std::size_t i : which) {
        if (i >= moved.size()) continue;
        results::SeriesPoint& p = moved[i];
        p.column += dx;
        p.row += dy;
        const GraphValues v = calibration.valuesAt({p.column, p.row});
        if (!finite(v)) return false;
        p.x = v.x;
        p.y = v.y;
    }
    series.points = std::move(moved);
    return true;
}

void deletePoints(results::Series& series, std::vector<std::size_t> which)
{
    std::sort(which.begin(), which.end());
    which.erase(std::unique(which.begin(), which.end()), which.end());
    // From the back, so that the indices still to go stay valid.
    for (auto i = which.rbegin(); i != which.rend(); ++i)
        if (*i < series.points.size()) series.points.erase(series.points.begin() + std::ptrdiff_t(*i));
}

std::optional<std::size_t> addPoint(results::Series& series, PlanePoint pixel, const PixelCalibration& calibration)
{
    const GraphValues v = calibration.valuesAt(pixel);
    if (!finite(v)) return std::nullopt;
    const auto at = std::upper_bound(series.points.begin(), series.points.end(), v.x,
                                     [](double x, const results::SeriesPoint& p) { return x < p.x; });
    const auto placed = series.points.insert(at, {v.x, v.y, pixel.x, pixel.y});
    return std::size_t(placed - series.points.begin());
}

}  // namespace vastrel::digitize
