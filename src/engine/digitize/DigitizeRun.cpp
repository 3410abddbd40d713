#include "engine/digitize/DigitizeRun.h"

#include <cmath>
#include <cstdint>

#include "engine/digitize/ColourScan.h"
#include "engine/digitize/ColumnScan.h"
#include "engine/digitize/Conversion.h"
#include "engine/digitize/DigitizeMessages.h"
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

DigitizeOutcome digitize(const image::PixelView& view, const References& refs, const std::optional<CurveColour>& colour)
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

    std::vector<float> rows;
    if (colour) {
        std::optional<std::vector<float>> found = scanColumnsForColour(view, refs, *colour);
        if (!found) return refused(msg::kNoColourMatch);
        rows = std::move(*found);
    } else {
        rows = scanColumns(view, refs);
    }

    DigitizeOutcome outcome;
    outcome.points.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        DigitizedPoint p;
        p.x = conversion.columnToX(window.columnAt(static_cast<std::int64_t>(i)));
        p.pixelRow = rows[i];
        p.y = conversion.rowToY(static_cast<double>(rows[i]));
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return refused(msg::kNotFinite);
        outcome.points.push_back(p);
    }
    return outcome;
}

}  // namespace vastrel::digitize
