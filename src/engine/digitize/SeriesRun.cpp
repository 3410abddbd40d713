#include "engine/digitize/SeriesRun.h"

#include <algorithm>
#include <cmath>

#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/DigitizeRun.h"
#include "engine/digitize/PixelCalibration.h"
#include "engine/digitize/ScanWindow.h"
#include "engine/digitize/ScatterMarkers.h"

namespace vastrel::digitize {

namespace {

void findCurve(const image::PixelView& view, const References& refs, std::span<const ReferencePoint> more,
               SeriesFinding& found)
{
    const DigitizeOutcome run = digitize(view, refs, found.series.colour, more);
    if (!run.ok()) {
        found.refusal = run.refusal;
        return;
    }
    const std::string refusal = placeRunPoints(run, refs, more, found.series);
    if (!refusal.empty()) found.refusal = refusal;
}

// The picture's pixels the frame covers, as a box around its four corners.
PixelArea frameArea(const image::PixelView& view, const PixelCalibration& calibration)
{
    const References& r = calibration.references();
    double left = view.width, top = view.height, right = 0, bottom = 0;
    for (const PlanePoint corner : {PlanePoint{r.startX, r.startY}, PlanePoint{r.startX, r.endY},
                                    PlanePoint{r.endX, r.startY}, PlanePoint{r.endX, r.endY}}) {
        const PlanePoint p = calibration.pictureOf(corner);
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    const auto within = [](double v, int size) { return int(std::clamp(v, 0.0, double(size - 1))); };
    return {within(std::ceil(left), view.width), within(std::ceil(top), view.height),
            within(std::floor(right), view.width), within(std::floor(bottom), view.height)};
}

void findMarkers(const image::PixelView& view, const PixelCalibration& calibration, const CurveColour& colour,
                 SeriesFinding& found)
{
    const PlanePoint click{double(colour.x), double(colour.y)};
    if (!view.contains(colour.x, colour.y) || !calibration.insideFrame(click)) {
        found.refusal = std::string(msg::kMarkerOutsideFrame);
        return;
    }
    const MarkerSearch search =
        findScatterMarkers(view, frameArea(view, calibration), colour.x, colour.y, colour.tolerance);
    if (!search.ok()) {
        found.refusal = std::string(msg::kNoMarkerAtClick);
        return;
    }
    for (const MarkerPoint& centre : search.centres) {
        const PlanePoint at{centre.column, centre.row};
        // The box around a tilted frame reaches beyond it.
        if (!calibration.insideFrame(at)) continue;
        const GraphValues v = calibration.valuesAt(at);
        if (!std::isfinite(v.x) || !std::isfinite(v.y)) {
            found.refusal = std::string(msg::kNotFinite);
            found.series.points.clear();
            return;
        }
        found.series.points.push_back({v.x, v.y, at.x, at.y});
    }
    std::stable_sort(found.series.points.begin(), found.series.points.end(),
                     [](const results::SeriesPoint& a, const results::SeriesPoint& b) {
                         return a.x != b.x ? a.x < b.x : a.y < b.y;
                     });
}

}  // namespace

std::string placeRunPoints(const DigitizeOutcome& run, const References& refs, std::span<const ReferencePoint> more,
                           results::Series& series)
{
    series.points.clear();
    const CalibrationOutcome calibrated = calibrationOf(refs, more);
    if (!calibrated.ok()) return calibrated.refusal;
    const ScanWindow window = scanWindowOf(refs);
    series.points.reserve(run.points.size());
    for (std::size_t i = 0; i < run.points.size(); ++i) {
        const DigitizedPoint& p = run.points[i];
        const PlanePoint at = calibrated.calibration->pictureOf(
            {window.columnAt(static_cast<std::int64_t>(run.firstColumn + i)), double(p.pixelRow)});
        series.points.push_back({p.x, p.y, at.x, at.y});
    }
    return {};
}

SeriesFinding findSeries(const image::PixelView& view, const References& refs, std::span<const ReferencePoint> more,
                         const SeriesRequest& request, const QString& name)
{
    SeriesFinding found;
    found.series.name = name;
    found.series.rule = request.rule;
    found.series.colour = request.rule == results::SeriesRule::Darkest ? std::nullopt : request.colour;
    if (request.rule != results::SeriesRule::Markers) {
        findCurve(view, refs, more, found);
        return found;
    }
    const CalibrationOutcome calibrated = calibrationOf(refs, more);
    if (!calibrated.ok())
        found.refusal = calibrated.refusal;
    else if (!request.colour)
        found.refusal = std::string(msg::kNoMarkerAtClick);
    else
        findMarkers(view, *calibrated.calibration, *request.colour, found);
    return found;
}

std::string reconvertSeries(std::vector<results::Series>& series, const References& refs,
                            std::span<const ReferencePoint> more)
{
    const CalibrationOutcome calibrated = calibrationOf(refs, more);
    if (!calibrated.ok()) return calibrated.refusal;
    std::vector<results::Series> converted = series;
    for (results::Series& s : converted)
        for (results::SeriesPoint& p : s.points) {
            const GraphValues v = calibrated.calibration->valuesAt({p.column, p.row});
            if (!std::isfinite(v.x) || !std::isfinite(v.y)) return std::string(msg::kNotFinite);
            p.x = v.x;
            p.y = v.y;
        }
    series = std::move(converted);
    return {};
}

std::vector<results::GraphPoint> graphPointsOf(const results::Series& series)
{
    std::vector<results::GraphPoint> points;
    points.reserve(series.points.size());
    for (const results::SeriesPoint& p : series.points) points.push_back({p.x, p.y});
    return points;
}

}  // namespace vastrel::digitize
