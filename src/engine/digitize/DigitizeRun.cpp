#include "engine/digitize/DigitizeRun.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/digitize/ColourScan.h"
#include "engine/digitize/ColumnScan.h"
#include "engine/digitize/Conversion.h"
#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/RectifiedPicture.h"
#include "engine/digitize/ScanWindow.h"

namespace vastrel::digitize {

namespace {

DigitizeOutcome refused(std::string_view message)
{
    DigitizeOutcome outcome;
    outcome.refusal = std::string(message);
    return outcome;
}

}  // namespace

DigitizeOutcome digitize(const image::PixelView& view, const References& refs, const std::optional<CurveColour>& colour,
                         std::span<const ReferencePoint> more)
{
    // The span decides; the column count is checked as well so that no rounding
    // of extreme pixel values can ever produce more than the table holds.
    const ScanWindow window = scanWindowOf(refs);
    if (static_cast<double>(refs.endX) - static_cast<double>(refs.startX) > kMaxColumnSpan ||
        window.columnCount() > static_cast<std::int64_t>(kMaxPoints))
        return refused(msg::kTooWide);

    const PrepareResult prepared = prepare(refs);
    if (!prepared.ok()) return refused(prepared.refusal);
    const Conversion& conversion = *prepared.conversion;

    // A page read along its own axes is scanned in its resampled frame.
    std::optional<RectifiedPicture> rectified;
    std::optional<CurveColour> followed = colour;
    if (!more.empty()) {
        const FitOutcome fit = mappingOf(refs, more);
        if (!fit.ok()) return refused(fit.refusal);
        std::optional<ColourTarget> keep;
        if (followed) {
            const CurveColour shade = fullestShadeNear(view, *followed);
            keep = ColourTarget{shade.red, shade.green, shade.blue, std::clamp(shade.tolerance, 0, 254)};
        }
        rectified.emplace(view, refs, *fit.mapping, keep);
        if (followed) {
            const PlanePoint seed = rectified->rectifiedOf({double(followed->x), double(followed->y)});
            followed->x = int(std::lround(seed.x));
            followed->y = int(std::lround(seed.y));
        }
    }
    const image::PixelView scanned = rectified ? rectified->view() : view;

    std::vector<float> rows;
    DigitizeOutcome outcome;
    if (followed) {
        std::optional<ColourTrack> found = scanColumnsForColour(scanned, refs, *followed);
        if (!found) return refused(msg::kNoColourMatch);
        rows = std::move(found->rows);
        outcome.firstColumn = found->first;
    } else {
        rows = scanColumns(scanned, refs);
    }

    outcome.points.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        DigitizedPoint p;
        p.x = conversion.columnToX(window.columnAt(static_cast<std::int64_t>(outcome.firstColumn + i)));
        p.pixelRow = rows[i];
        p.y = conversion.rowToY(static_cast<double>(rows[i]));
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return refused(msg::kNotFinite);
        outcome.points.push_back(p);
    }
    return outcome;
}

}  // namespace vastrel::digitize
