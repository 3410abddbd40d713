#include "engine/axes/AxisTicks.h"

#include <algorithm>
#include <cmath>

namespace vastrel::axes {

namespace {

constexpr int kLongest = 25;   // ticks are shorter than this; grid lines are cut here
constexpr int kShortest = 3;   // strokes shorter than this are noise or a label's serif
constexpr int kWidest = 6;     // a tick is a thin stroke, not a marker or a character
constexpr double kStroke = 70.0;
// A light grey grid line across the frame marks its tick's place as well,
// and some programs draw it in place of the major tick: it is taken when it
// runs on, faint but unbroken, for the whole length a tick could have.
constexpr double kFaint = 20.0;

}  // namespace

std::vector<Tick> findTicks(const InkMap& ink, const AxisLine& axis, int outward)
{
    // Across the line, in the picture: perpendicular to the line, pointing
    // towards growing rows (columns).
    const double n = std::sqrt(1 + axis.slope * axis.slope);
    const PlanePoint across = axis.horizontal ? PlanePoint{-axis.slope / n, 1 / n} : PlanePoint{1 / n, -axis.slope / n};
    const double first = std::ceil(axis.halfWidth + 1.0);
    auto inkAt = [&](double along, int side, int d) {
        const PlanePoint base = axis.at(along);
        const double off = side * (first + d);
        return ink.sample(base.x + off * across.x, base.y + off * across.y);
    };
    auto reach = [&](int along, int side) {
        int length = 0;
        // A thin tick on a tilted page shares its ink between two pixels.
        while (length < kLongest && inkAt(along, side, length) >= kStroke) ++length;
        if (length >= kShortest || side != -outward) return length;
        // A faint line must stand out of the paper beside it all along, as
        // a scan's grey paper does not.
        int faint = 0;
        while (faint < kLongest && inkAt(along, side, faint) >= kFaint &&
               inkAt(along, side, faint) >=
                   std::max(inkAt(along - 2, side, faint), inkAt(along + 2, side, faint)) + kFaint)
            ++faint;
        return faint == kLongest ? kLongest : length;
    };
    std::vector<Tick> ticks;
    const int from = int(std::ceil(axis.from)), to = int(std::floor(axis.to));
    int groupStart = -1;
    std::vector<std::pair<int, int>> lengths;
    auto close = [&](int end) {
        const int width = end - groupStart;
        if (width > 0 && width <= kWidest) {
            // The stroke's centre from its ink a little off the line, where
            // it is drawn clean of the line's own edge.
            Tick t;
            for (const auto& [in, out] : lengths) t.inside = std::max(t.inside, in), t.outside = std::max(t.outside, out);
            const int side = t.inside >= kShortest ? -outward : outward;
            const double off = side * (first + 1);
            double sum = 0, weighted = 0;
            for (int a = groupStart - 1; a <= end; ++a) {
                const PlanePoint base = axis.at(a);
                const double w = ink.sample(base.x + off * across.x, base.y + off * across.y);
                sum += w, weighted += w * a;
            }
            if (sum > 0) {
                t.along = weighted / sum;
                ticks.push_back(t);
            }
        }
        groupStart = -1;
        lengths.clear();
    };
    for (int a = from; a <= to + 1; ++a) {
        const int in = a <= to ? reach(a, -outward) : 0, out = a <= to ? reach(a, outward) : 0;
        const bool stroke = in >= kShortest || out >= kShortest;
        if (stroke) {
            if (groupStart < 0) {
                groupStart = a;
                lengths.push_back({reach(a - 1, -outward), reach(a - 1, outward)});
            }
            lengths.push_back({in, out});
        } else if (groupStart >= 0) {
            lengths.push_back({in, out});
            close(a);
        }
    }
    return ticks;
}

}  // namespace vastrel::axes
