#pragma once
// How an axis's values run along it, fitted to the ticks whose labels were
// read: linearly, or linearly in their logarithm. A misread label is left
// out as an outlier rather than allowed to shift the axis.

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace vastrel::axes {

struct TickValue {
    double along = 0.0;  // the tick's place along the axis line
    double value = 0.0;  // its label's value
};

struct AxisScale {
    bool logarithmic = false;
    // along = offset + step · v, v the value or its base-10 logarithm
    double offset = 0.0;
    double step = 0.0;
    std::vector<bool> agrees;  // per tick given: within the fit's tolerance
    std::vector<double> residuals;  // per tick: along − where the fit puts its value, in pixels

    double alongOf(double value) const;
    double valueAt(double along) const;
    int agreeing() const;
};

// Why an axis cannot be calibrated, for the message that names it.
enum class ScaleRefusal { TooFewLabels, LabelsDisagree };

// Ticks agree when they lie within this of the fitted place.
inline constexpr double kTickTolerance = 1.0;

// The scale most of the ticks agree on, linear or logarithmic, or why there
// is none: fewer than three labels read, or fewer than three (or fewer than
// half of them) agreeing on one scale. Values grow along the axis when
// `growing` is +1 (to the right on an X axis), against it when -1 (upwards
// on a Y axis, whose rows grow downwards): a scale running the other way is
// what labels that all lost their minus read as (10^-4 .. 10^-1 as 10^4 ..
// 10^1), and is no story the ticks tell.
std::variant<AxisScale, ScaleRefusal> fitAxisScale(std::span<const TickValue> ticks, int growing);

}  // namespace vastrel::axes
