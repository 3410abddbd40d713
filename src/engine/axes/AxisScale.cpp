#include "engine/axes/AxisScale.h"

#include <algorithm>
#include <cmath>

namespace vastrel::axes {

namespace {

struct Line {
    double offset = 0.0, step = 0.0;
};

double term(double value, bool logarithmic)
{
    return logarithmic ? std::log10(value) : value;
}

std::optional<Line> leastSquares(std::span<const TickValue> ticks, const std::vector<bool>& use, bool logarithmic)
{
    double n = 0, sv = 0, sa = 0, svv = 0, sva = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (!use[i]) continue;
        const double v = term(ticks[i].value, logarithmic), a = ticks[i].along;
        n += 1, sv += v, sa += a, svv += v * v, sva += v * a;
    }
    const double det = n * svv - sv * sv;
    if (n < 2 || !(std::abs(det) > 0)) return std::nullopt;
    const double step = (n * sva - sv * sa) / det;
    return Line{(sa - step * sv) / n, step};
}

struct Consensus {
    std::vector<bool> agrees;
    int count = 0;
    double spread = 0.0;  // sum of squared residuals of the agreeing ticks
};

Consensus consensusOf(std::span<const TickValue> ticks, Line line, bool logarithmic)
{
    Consensus c{std::vector<bool>(ticks.size(), false), 0, 0.0};
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const double r = ticks[i].along - (line.offset + line.step * term(ticks[i].value, logarithmic));
        if (std::abs(r) <= kTickTolerance) {
            c.agrees[i] = true;
            ++c.count;
            c.spread += r * r;
        }
    }
    return c;
}

// Every pair of ticks proposes a scale; the one most ticks agree with wins,
// then refitted to those ticks alone.
std::optional<AxisScale> bestScale(std::span<const TickValue> ticks, bool logarithmic, int growing)
{
    std::optional<Consensus> best;
    for (std::size_t i = 0; i < ticks.size(); ++i)
        for (std::size_t j = i + 1; j < ticks.size(); ++j) {
            const double vi = term(ticks[i].value, logarithmic), vj = term(ticks[j].value, logarithmic);
            if (!(std::abs(vi - vj) > 0) || std::abs(ticks[i].along - ticks[j].along) < 3) continue;
            const double step = (ticks[j].along - ticks[i].along) / (vj - vi);
            if (step * growing <= 0) continue;
            Consensus c = consensusOf(ticks, {ticks[i].along - step * vi, step}, logarithmic);
            if (!best || c.count > best->count || (c.count == best->count && c.spread < best->spread)) best = c;
        }
    if (!best) return std::nullopt;
    std::optional<Line> fitted = leastSquares(ticks, best->agrees, logarithmic);
    for (int pass = 0; pass < 2 && fitted; ++pass) {
        Consensus c = consensusOf(ticks, *fitted, logarithmic);
        if (c.count < best->count) break;
        best = c;
        fitted = leastSquares(ticks, best->agrees, logarithmic);
    }
    if (!fitted) return std::nullopt;
    AxisScale scale{logarithmic, fitted->offset, fitted->step, best->agrees, {}};
    for (const TickValue& t : ticks) scale.residuals.push_back(t.along - scale.alongOf(t.value));
    return scale;
}

}  // namespace

double AxisScale::alongOf(double value) const
{
    return offset + step * term(value, logarithmic);
}

double AxisScale::valueAt(double along) const
{
    const double v = (along - offset) / step;
    return logarithmic ? std::pow(10.0, v) : v;
}

int AxisScale::agreeing() const
{
    return int(std::count(agrees.begin(), agrees.end(), true));
}

std::variant<AxisScale, ScaleRefusal> fitAxisScale(std::span<const TickValue> ticks, int growing)
{
    if (ticks.size() < 3) return ScaleRefusal::TooFewLabels;
    std::optional<AxisScale> linear = bestScale(ticks, false, growing);
    std::optional<AxisScale> logarithmic;
    if (std::all_of(ticks.begin(), ticks.end(), [](const TickValue& t) { return t.value > 0; }))
        logarithmic = bestScale(ticks, true, growing);
    auto spread = [](const AxisScale& s) {
        double sum = 0;
        for (std::size_t i = 0; i < s.residuals.size(); ++i)
            if (s.agrees[i]) sum += s.residuals[i] * s.residuals[i];
        return sum / std::max(1, s.agreeing());
    };
    std::optional<AxisScale> chosen = linear;
    if (logarithmic && (!chosen || logarithmic->agreeing() > chosen->agreeing() ||
                        (logarithmic->agreeing() == chosen->agreeing() && spread(*logarithmic) < spread(*chosen))))
        chosen = logarithmic;
    // Three ticks at least, and most of those read, must tell one story.
    if (!chosen || chosen->agreeing() < 3 || 2 * chosen->agreeing() <= int(ticks.size())) return ScaleRefusal::LabelsDisagree;
    return *chosen;
}

}  // namespace vastrel::axes
