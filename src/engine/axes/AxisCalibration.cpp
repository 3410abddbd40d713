#include "engine/axes/AxisCalibration.h"

#include "engine/axes/AxisLines.h"
#include "engine/axes/AxisMessages.h"
#include "engine/axes/AxisScale.h"
#include "engine/axes/AxisTicks.h"
#include "engine/axes/TickLabels.h"
#include "engine/text/TickLabel.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vastrel::axes {

namespace {

using digitize::PlanePoint;
using digitize::ReferencePoint;

// How far the ticks reach out towards the labels: the longest stroke short
// of a grid line or the other axis running on.
double outerReach(const std::vector<Tick>& ticks)
{
    int reach = 0;
    for (const Tick& t : ticks)
        if (t.outside < 20) reach = std::max(reach, t.outside);
    return reach;
}

struct AxisReading {
    char axis = 'x';
    std::vector<ReadTick> ticks;
    std::vector<TickValue> values;  // of the ticks, in the same order
    // What a label read without its decimal point would be with it, placed
    // as the axis's other labels place theirs: OCR loses a small dot.
    std::vector<std::optional<double>> withPoint;
};

// How many digits follow the point in most of the labels that show one.
int usualDecimals(const QStringList& labels)
{
    std::vector<int> counts(8, 0);
    for (const QString& label : labels) {
        const qsizetype point = label.indexOf(QLatin1Char('.'));
        if (point < 0) continue;
        int digits = 0;
        while (point + 1 + digits < label.size() && label[point + 1 + digits].isDigit()) ++digits;
        if (digits > 0 && digits < int(counts.size())) ++counts[std::size_t(digits)];
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most > 0 ? int(most - counts.begin()) : 0;
}

// Every label paired with the tick nearest its middle, and read.
AxisReading readAxis(char axis, const AxisLine& line, const std::vector<Tick>& ticks,
                     const std::vector<LabelBox>& labels, LabelReader& reader)
{
    std::vector<std::string> texts;
    QStringList all;
    for (const LabelBox& label : labels) {
        texts.push_back(readLabel(reader, label));
        all << QString::fromStdString(texts.back());
    }
    const text::CommaUse commas = text::commaUseOf(all);
    const int decimals = usualDecimals(all);
    AxisReading reading;
    reading.axis = axis;
    std::vector<int> claimed(ticks.size(), -1);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const std::optional<double> value = text::readTickLabel(all[qsizetype(i)], commas);
        if (!value) continue;
        const double reach = std::max(6.0, (axis == 'x' ? labels[i].base.width : labels[i].base.height) * 0.5);
        std::optional<std::size_t> nearest;
        for (std::size_t k = 0; k < ticks.size(); ++k) {
            const double d = std::abs(ticks[k].along - labels[i].along);
            if (d <= reach && (!nearest || d < std::abs(ticks[*nearest].along - labels[i].along))) nearest = k;
        }
        if (!nearest || claimed[*nearest] >= 0) continue;
        claimed[*nearest] = int(i);
        ReadTick t;
        t.axis = axis;
        t.pixel = line.at(ticks[*nearest].along);
        t.text = texts[i];
        t.value = *value;
        reading.ticks.push_back(t);
        reading.values.push_back({ticks[*nearest].along, *value});
        const bool bareDigits = all[qsizetype(i)].size() > decimals &&
                                !all[qsizetype(i)].contains(QRegularExpression(QStringLiteral("[^-\\d]")));
        reading.withPoint.push_back(decimals > 0 && bareDigits ? std::optional(*value / std::pow(10.0, decimals))
                                                               : std::nullopt);
    }
    return reading;
}

// The step between neighbouring labels (in decades on a logarithmic axis)
// and one label's value on that grid, or no step when fewer than two agree.
struct LabelGrid {
    double step = 0.0;
    double anchor = 0.0;
};

LabelGrid labelGridOf(const AxisScale& scale, const AxisReading& r)
{
    auto term = [&](double v) { return scale.logarithmic ? std::log10(v) : v; };
    LabelGrid grid;
    for (std::size_t i = 0; i < r.values.size(); ++i)
        for (std::size_t k = i + 1; k < r.values.size(); ++k)
            if (scale.agrees[i] && scale.agrees[k]) {
                const double d = std::abs(term(r.values[i].value) - term(r.values[k].value));
                if (d > 0 && (grid.step == 0.0 || d < grid.step)) grid = {d, term(r.values[i].value)};
            }
    return grid;
}

// Where the plotting area's corner lies along one axis and the value there.
struct CornerPlace {
    double along = 0.0;
    double value = 0.0;
};

// A corner on a tick mark takes the value of the labels' grid at that tick,
// placed where the tick was drawn, whether or not its own label was read:
// the tick marks the place better than the fit of the others, which
// carries their drawing's rounding. Any other corner takes the value there,
// rounded to a thousandth of the ticks' step on a linear axis, to four
// significant digits on a logarithmic one: nearer than a hundredth of a
// pixel either way.
CornerPlace cornerPlace(const AxisScale& scale, double along, const AxisReading& r, const std::vector<Tick>& marks)
{
    const LabelGrid grid = labelGridOf(scale, r);
    auto valueOf = [&](double t) { return scale.logarithmic ? std::pow(10.0, t) : t; };
    for (const Tick& mark : marks) {
        if (std::abs(mark.along - along) > 1.0 || !(grid.step > 0)) continue;
        const double t = (mark.along - scale.offset) / scale.step;  // the value, or its logarithm
        double onGrid = grid.anchor + std::round((t - grid.anchor) / grid.step) * grid.step;
        if (std::abs(onGrid) < grid.step * 1e-9) onGrid = 0.0;  // no -0 or 1e-17 from the sum
        const double value = valueOf(onGrid);
        if (std::abs(scale.alongOf(value) - mark.along) <= kTickTolerance) return {mark.along, value};
    }
    const double value = scale.valueAt(along);
    if (scale.logarithmic) {
        const double digits = std::pow(10.0, 3 - std::floor(std::log10(value)));
        const double rounded = std::round(value * digits) / digits;
        return {scale.alongOf(rounded), rounded};
    }
    if (!(grid.step > 0)) return {along, value};
    const double unit = std::pow(10.0, std::floor(std::log10(grid.step / 1000)));
    const double rounded = std::round(value / unit) * unit;
    return {scale.alongOf(rounded), rounded};
}

// The axis's scale; a label left out that agrees once its lost decimal
// point is put back is taken so, and the scale fitted again.
std::variant<AxisScale, ScaleRefusal> fitWithPoints(AxisReading& r)
{
    const int growing = r.axis == 'y' ? -1 : +1;
    auto fit = fitAxisScale(r.values, growing);
    const auto* scale = std::get_if<AxisScale>(&fit);
    if (!scale) return fit;
    bool mended = false;
    for (std::size_t i = 0; i < r.values.size(); ++i) {
        if (scale->agrees[i] || !r.withPoint[i]) continue;
        if (std::abs(r.values[i].along - scale->alongOf(*r.withPoint[i])) > kTickTolerance) continue;
        r.values[i].value = r.ticks[i].value = *r.withPoint[i];
        mended = true;
    }
    return mended ? fitAxisScale(r.values, growing) : fit;
}

digitize::ScaleMode modeOf(bool logX, bool logY)
{
    using digitize::ScaleMode;
    if (logX) return logY ? ScaleMode::LogLog : ScaleMode::LogLinear;
    return logY ? ScaleMode::LinearLog : ScaleMode::LinearLinear;
}

}  // namespace

digitize::References AxisCalibration::references() const
{
    digitize::References r;
    r.startX = float(refs[0].column), r.startY = float(refs[0].row);
    r.endX = float(refs[1].column), r.endY = float(refs[1].row);
    r.x1 = refs[0].x, r.y1 = refs[0].y, r.x2 = refs[1].x, r.y2 = refs[1].y;
    r.mode = mode;
    return r;
}

std::variant<AxisCalibration, std::string> calibrateAxes(const image::PixelView& picture, LabelReader& reader)
{
    const InkMap ink(picture);
    const std::optional<FrameLines> frame = findFrameLines(ink);
    if (!frame) return std::string(msg::kNoAxes);
    const std::vector<Tick> xTicks = findTicks(ink, frame->bottom, +1);
    const std::vector<Tick> yTicks = findTicks(ink, frame->left, -1);
    const double xClear = frame->bottom.halfWidth + outerReach(xTicks) + 2.0;
    const double yClear = frame->left.halfWidth + outerReach(yTicks) + 2.0;
    AxisReading xs = readAxis('x', frame->bottom, xTicks, labelsBelow(ink, frame->bottom, xClear), reader);
    AxisReading ys = readAxis('y', frame->left, yTicks, labelsLeftOf(ink, frame->left, yClear), reader);

    const auto xFit = fitWithPoints(xs);
    if (const auto* why = std::get_if<ScaleRefusal>(&xFit)) return msg::axisRefusal('x', *why);
    const auto yFit = fitWithPoints(ys);
    if (const auto* why = std::get_if<ScaleRefusal>(&yFit)) return msg::axisRefusal('y', *why);
    const AxisScale& xScale = std::get<AxisScale>(xFit);
    const AxisScale& yScale = std::get<AxisScale>(yFit);

    // Along a tilted page the X axis is a line of one Y value and the Y axis
    // one of one X value: those of the corner where they meet.
    const PlanePoint corner = crossing(frame->bottom, frame->left);
    const double cornerX = xScale.valueAt(frame->bottom.alongOf(corner));
    const double cornerY = yScale.valueAt(frame->left.alongOf(corner));
    // The start and end points on the plotting area's corners, as a user
    // clicks them: where the axes meet, and where the frame's right and top
    // sides cross them (or the axes end, without a frame), on the tick there
    // or at a value rounded to what the ticks' own steps make plain.
    const double rightAlong = frame->right ? frame->bottom.alongOf(crossing(frame->bottom, *frame->right))
                                           : frame->bottom.to;
    const double topAlong = frame->top ? frame->left.alongOf(crossing(*frame->top, frame->left)) : frame->left.from;
    const CornerPlace left = cornerPlace(xScale, frame->bottom.alongOf(corner), xs, xTicks);
    const CornerPlace right = cornerPlace(xScale, rightAlong, xs, xTicks);
    const CornerPlace bottom = cornerPlace(yScale, frame->left.alongOf(corner), ys, yTicks);
    const CornerPlace top = cornerPlace(yScale, topAlong, ys, yTicks);
    auto pixelAt = [&](const CornerPlace& x, const CornerPlace& y) {
        const PlanePoint onX = frame->bottom.at(x.along), onY = frame->left.at(y.along);
        return ReferencePoint{onX.x + onY.x - corner.x, onX.y + onY.y - corner.y, x.value, y.value};
    };
    AxisCalibration result;
    result.mode = modeOf(xScale.logarithmic, yScale.logarithmic);
    result.refs.push_back(pixelAt(left, bottom));
    result.refs.push_back(pixelAt(right, top));
    // The other two corners of the ticks' span hold the page to the two axes'
    // own straight scales: ticks along two lines alone leave a perspective
    // free that the far corner of the plot would pay for.
    result.refs.push_back(pixelAt(left, top));
    result.refs.push_back(pixelAt(right, bottom));
    auto addTicks = [&](AxisReading& r, const AxisScale& s) {
        for (std::size_t i = 0; i < r.ticks.size(); ++i) {
            ReadTick& t = r.ticks[i];
            t.used = s.agrees[i];
            if (t.used) {
                const ReferencePoint p{t.pixel.x, t.pixel.y, t.axis == 'x' ? t.value : cornerX,
                                       t.axis == 'x' ? cornerY : t.value};
                // A tick at the start or end point is already there.
                const bool repeated = std::any_of(result.refs.begin(), result.refs.end(), [&](const ReferencePoint& q) {
                    return std::hypot(q.column - p.column, q.row - p.row) < 1.0;
                });
                if (!repeated) result.refs.push_back(p);
            }
            result.ticks.push_back(t);
        }
    };
    addTicks(xs, xScale);
    addTicks(ys, yScale);

    const digitize::FitOutcome fit = digitize::fitReferences(result.refs, result.mode);
    if (!fit.ok()) return std::string(msg::kNoMapping);
    for (ReadTick& t : result.ticks) {
        const double x = t.axis == 'x' ? t.value : cornerX, y = t.axis == 'x' ? cornerY : t.value;
        const PlanePoint at = fit.mapping->pixelOfFrame(fit.mapping->frameOf(x, y));
        t.residual = std::hypot(at.x - t.pixel.x, at.y - t.pixel.y);
        if (t.used) result.largestResidual = std::max(result.largestResidual, t.residual);
    }
    return result;
}

}  // namespace vastrel::axes
