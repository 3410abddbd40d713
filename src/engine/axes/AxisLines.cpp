#include "engine/axes/AxisLines.h"

#include <algorithm>
#include <cmath>

namespace vastrel::axes {

namespace {

constexpr double kSlopeStep = 0.001;

// The picture read along a direction: `along` runs over columns for
// horizontal lines, over rows for vertical ones.
struct Oriented {
    const InkMap& ink;
    bool horizontal;
    int length() const { return horizontal ? ink.width() : ink.height(); }
    int breadth() const { return horizontal ? ink.height() : ink.width(); }
    int at(int along, int across) const { return horizontal ? ink.at(along, across) : ink.at(across, along); }
    bool dark(int along, int across) const { return at(along, across) >= InkMap::kDark; }
};

struct Candidate {
    double offset = 0.0;
    double slope = 0.0;
    int votes = 0;
};

// Votes of the dark pixels for lines across = offset + slope·along, every
// slope within the tilt, offsets in whole pixels.
std::vector<Candidate> strongestLines(const Oriented& o)
{
    const int slopes = int(std::lround(2 * kSteepestTilt / kSlopeStep)) + 1;
    const int margin = int(std::ceil(kSteepestTilt * o.length())) + 2;
    const int bins = o.breadth() + 2 * margin;
    std::vector<int> votes(std::size_t(slopes) * std::size_t(bins), 0);
    for (int a = 0; a < o.length(); ++a) {
        for (int b = 0; b < o.breadth(); ++b) {
            if (!o.dark(a, b)) continue;
            for (int k = 0; k < slopes; ++k) {
                const double slope = -kSteepestTilt + k * kSlopeStep;
                const int bin = int(std::lround(b - slope * a)) + margin;
                ++votes[std::size_t(k) * std::size_t(bins) + std::size_t(bin)];
            }
        }
    }
    // A line two pixels thick or between two rows votes in two offsets.
    std::vector<Candidate> best(static_cast<std::size_t>(bins));
    for (int k = 0; k < slopes; ++k) {
        const int* row = &votes[std::size_t(k) * std::size_t(bins)];
        for (int bin = 0; bin + 1 < bins; ++bin) {
            const int v = row[bin] + row[bin + 1];
            if (v > best[std::size_t(bin)].votes) {
                const double centre = (row[bin] * bin + row[bin + 1] * (bin + 1.0)) / std::max(1, v);
                best[std::size_t(bin)] = {centre - margin, -kSteepestTilt + k * kSlopeStep, v};
            }
        }
    }
    return best;
}

// The stretch of the line drawn dark, gaps of a few pixels (a dotted axis,
// a label or marker over it) bridged.
std::pair<int, int> drawnStretch(const Oriented& o, double offset, double slope)
{
    constexpr int kGap = 12;
    int bestFrom = 0, bestTo = -1, from = -1, last = -1000;
    for (int a = 0; a < o.length(); ++a) {
        const double across = offset + slope * a;
        const int b = int(std::lround(across));
        if (!(o.dark(a, b) || o.dark(a, b - 1) || o.dark(a, b + 1))) continue;
        if (a - last > kGap) from = a;
        last = a;
        if (last - from > bestTo - bestFrom) bestFrom = from, bestTo = last;
    }
    return {bestFrom, bestTo};
}

// The line through the ink's centre in every column (row) where it is
// crossed by nothing, fitted by least squares, far points left out.
std::optional<AxisLine> refined(const Oriented& o, const Candidate& c, int from, int to)
{
    struct Sample {
        double along, across;
        int thickness;
    };
    std::vector<Sample> samples;
    for (int a = from; a <= to; ++a) {
        const int b0 = int(std::lround(c.offset + c.slope * a));
        int b = -1;
        for (int d : {0, -1, 1, -2, 2}) {
            if (o.dark(a, b0 + d)) {
                b = b0 + d;
                break;
            }
        }
        if (b < 0) continue;
        int lo = b, hi = b;
        while (hi - lo < 12 && o.dark(a, lo - 1)) --lo;
        while (hi - lo < 12 && o.dark(a, hi + 1)) ++hi;
        double sum = 0, weighted = 0;
        for (int q = lo - 1; q <= hi + 1; ++q) {
            sum += o.at(a, q);
            weighted += o.at(a, q) * double(q);
        }
        samples.push_back({double(a), weighted / sum, hi - lo + 1});
    }
    if (samples.size() < 20) return std::nullopt;
    std::vector<int> thickness;
    for (const Sample& s : samples) thickness.push_back(s.thickness);
    std::nth_element(thickness.begin(), thickness.begin() + long(thickness.size() / 2), thickness.end());
    const int usual = thickness[thickness.size() / 2];
    double offset = c.offset, slope = c.slope, limit = 1.5;
    for (int pass = 0; pass < 4; ++pass) {
        double n = 0, sa = 0, sb = 0, saa = 0, sab = 0;
        for (const Sample& s : samples) {
            // Ticks and curves crossing the line make it look thicker there.
            if (s.thickness > usual + 1) continue;
            if (std::abs(s.across - (offset + slope * s.along)) > limit) continue;
            n += 1, sa += s.along, sb += s.across, saa += s.along * s.along, sab += s.along * s.across;
        }
        const double det = n * saa - sa * sa;
        if (n < 20 || det <= 0) return std::nullopt;
        slope = (n * sab - sa * sb) / det;
        offset = (sb - slope * sa) / n;
        limit = pass == 0 ? 0.8 : 0.5;
    }
    AxisLine line;
    line.horizontal = o.horizontal;
    line.offset = offset;
    line.slope = slope;
    line.from = from;
    line.to = to;
    line.halfWidth = usual / 2.0;
    return line;
}

}  // namespace

std::vector<AxisLine> findLongLines(const InkMap& ink, bool horizontal)
{
    const Oriented o{ink, horizontal};
    const std::vector<Candidate> best = strongestLines(o);
    int strongest = 0;
    for (const Candidate& c : best) strongest = std::max(strongest, c.votes);
    const int needed = std::max(strongest / 2, o.length() / 3);
    std::vector<AxisLine> lines;
    for (std::size_t i = 0; i < best.size(); ++i) {
        const Candidate& c = best[i];
        if (c.votes < needed) continue;
            // The strongest offset within a few pixels stands for them all.
        bool peak = true;
        for (std::size_t j = i > 4 ? i - 4 : 0; j < std::min(best.size(), i + 5); ++j) {
            if (best[j].votes > c.votes || (best[j].votes == c.votes && j < i)) peak = false;
        }
        if (!peak) continue;
        const auto [from, to] = drawnStretch(o, c.offset, c.slope);
        // Votes count a thick line twice: its length is what must be long.
        if (to - from < o.length() / 3) continue;
        if (auto line = refined(o, c, from, to)) lines.push_back(*line);
    }
    std::sort(lines.begin(), lines.end(), [&](const AxisLine& a, const AxisLine& b) {
        const double middle = o.length() / 2.0;
        return a.offset + a.slope * middle < b.offset + b.slope * middle;
    });
    return lines;
}

std::optional<FrameLines> findFrameLines(const InkMap& ink)
{
    const std::vector<AxisLine> rows = findLongLines(ink, true);
    const std::vector<AxisLine> columns = findLongLines(ink, false);
    if (rows.empty() || columns.empty()) return std::nullopt;
    FrameLines frame{rows.back(), columns.front(), std::nullopt, std::nullopt};
    // The axes meet at the lower-left corner, within a few pixels of where
    // each is drawn to (an axis may stop short or run on past the other).
    const PlanePoint corner = crossing(frame.bottom, frame.left);
    constexpr double kReach = 15.0;
    if (corner.x < frame.bottom.from - kReach || corner.x > frame.bottom.to ||
        corner.y > frame.left.to + kReach || corner.y < frame.left.from)
        return std::nullopt;
    // Each axis starts at the corner: what runs on past it there is a label
    // on the line's extension, or the other axis's overhang.
    frame.bottom.from = std::max(frame.bottom.from, std::floor(corner.x));
    frame.left.to = std::min(frame.left.to, std::ceil(corner.y));
    // The top and right sides meet the axes where these end, whatever the
    // tilt shifts their drawn stretches by.
    auto near = [](PlanePoint a, PlanePoint b) { return std::hypot(a.x - b.x, a.y - b.y) < 20.0; };
    if (rows.size() > 1) {
        const AxisLine& top = rows.front();
        if (near(crossing(top, frame.left), frame.left.at(frame.left.from)) &&
            top.to - top.from > 0.8 * (frame.bottom.to - frame.bottom.from))
            frame.top = top;
    }
    if (columns.size() > 1) {
        const AxisLine& right = columns.back();
        if (near(crossing(frame.bottom, right), frame.bottom.at(frame.bottom.to)) &&
            right.to - right.from > 0.8 * (frame.left.to - frame.left.from))
            frame.right = right;
    }
    return frame;
}

}  // namespace vastrel::axes
