#include "engine/digitize/GridValues.h"

#include <algorithm>
#include <cmath>

namespace vastrel::digitize {

namespace {

// A value a hair beyond an end still counts: typed ends are often the grid's own.
constexpr double kSlack = 1e-9;

std::vector<double> linearValues(double lo, double hi)
{
    const double span = hi - lo;
    const double magnitude = std::pow(10.0, std::floor(std::log10(span / 6)));
    double step = magnitude;
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * magnitude;
        if (span / step <= 12) break;
    }
    std::vector<double> values;
    for (double k = std::ceil(lo / step - kSlack); k * step <= hi + span * kSlack; k += 1) {
        const double value = k * step;
        values.push_back(std::fabs(value) < step * kSlack ? 0.0 : value);
    }
    return values;
}

std::vector<double> logarithmicValues(double lo, double hi)
{
    const bool few = std::log10(hi / lo) <= 4;
    std::vector<double> values;
    for (double decade = std::floor(std::log10(lo)); decade <= std::ceil(std::log10(hi)); decade += 1) {
        const double power = std::pow(10.0, decade);
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (factor != 1.0 && !few) continue;
            const double value = factor * power;
            if (value >= lo * (1 - kSlack) && value <= hi * (1 + kSlack)) values.push_back(value);
        }
    }
    return values;
}

}  // namespace

std::vector<double> gridValues(double from, double to, bool logarithmic)
{
    const double lo = std::min(from, to), hi = std::max(from, to);
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo)) return {};
    if (logarithmic) return lo > 0 ? logarithmicValues(lo, hi) : std::vector<double>{};
    return linearValues(lo, hi);
}

}  // namespace vastrel::digitize
