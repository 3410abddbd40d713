#include "engine/digitize/FrameCorners.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "engine/digitize/DigitizeMessages.h"

namespace vastrel::digitize {

namespace {

// How much darker than white a pixel must be at a line's core.
constexpr int kMinContrast = 80;
// A frame line is at most this thick; a longer dark run across the side is
// a tick mark, a grid line meeting it, a curve or text.
constexpr int kMaxThickness = 5;
// How far from its corner a side's following starts, clear of the other side
// and of the corner's own marks.
constexpr int kCornerClearance = 6;

struct Sample {
    double along;   // the position along the side: a column of a horizontal side, a row of a vertical one
    double across;  // the line's centre across it, to a fraction of a pixel
};

// A side as across = a + b along.
struct Line {
    double a = 0.0, b = 0.0;
    double at(double along) const { return a + b * along; }
};

int darkness(const image::PixelView& picture, bool horizontal, int along, int across)
{
    const int x = horizontal ? along : across, y = horizontal ? across : along;
    if (!picture.contains(x, y)) return -1;
    const std::uint32_t p = picture.pixels[std::ptrdiff_t(y) * picture.stride + x];
    const int r = int((p >> 16) & 0xFF), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
    return 255 - (299 * r + 587 * g + 114 * b) / 1000;
}

// The centre of the dark line crossing position `along` within `reach` of
// `expected`, weighted by darkness; nothing where no line of a frame's
// thickness stands there alone.
std::optional<double> lineAt(const image::PixelView& picture, bool horizontal, int along, double expected, double reach)
{
    const int lo = int(std::floor(expected - reach)), hi = int(std::ceil(expected + reach));
    std::vector<int> dark;
    for (int s = lo; s <= hi; ++s) {
        dark.push_back(darkness(picture, horizontal, along, s));
        if (dark.back() < 0) return std::nullopt;
    }
    const auto darkest = std::max_element(dark.begin(), dark.end());
    if (*darkest < kMinContrast) return std::nullopt;
    const int threshold = *darkest / 2;
    auto first = darkest, last = darkest;
    while (first != dark.begin() && *(first - 1) >= threshold) --first;
    while (last + 1 != dark.end() && *(last + 1) >= threshold) ++last;
    // A run that reaches the window's edge may go on beyond it.
    if (first == dark.begin() || last + 1 == dark.end() || last - first + 1 > kMaxThickness) return std::nullopt;
    double sum = 0.0, weighted = 0.0;
    for (auto it = first - 1; it <= last + 1; ++it) {
        const double weight = std::max(*it - std::min(*(first - 1), *(last + 1)), 0);
        sum += weight;
        weighted += weight * double(lo + (it - dark.begin()));
    }
    return sum > 0.0 ? std::optional<double>(weighted / sum) : std::nullopt;
}

Line fitted(const std::vector<Sample>& samples)
{
    double n = 0, st = 0, ss = 0, stt = 0, sts = 0;
    for (const Sample& p : samples) {
        n += 1;
        st += p.along;
        ss += p.across;
        stt += p.along * p.along;
        sts += p.along * p.across;
    }
    const double denominator = n * stt - st * st;
    if (denominator == 0.0) return {ss / n, 0.0};
    const double b = (n * sts - st * ss) / denominator;
    return {(ss - b * st) / n, b};
}

// Fits again without the samples far off the line (a curve or a label that
// touched the side), a few times over.
std::optional<Line> robustlyFitted(std::vector<Sample> samples, std::size_t needed)
{
    for (int round = 0; round < 4; ++round) {
        if (samples.size() < needed) return std::nullopt;
        const Line line = fitted(samples);
        double squares = 0;
        for (const Sample& p : samples) squares += std::pow(p.across - line.at(p.along), 2);
        const double limit = std::max(0.5, 2.5 * std::sqrt(squares / double(samples.size())));
        std::erase_if(samples, [&](const Sample& p) { return std::fabs(p.across - line.at(p.along)) > limit; });
    }
    if (samples.size() < needed) return std::nullopt;
    return fitted(samples);
}

// The side through `corner` that runs, horizontally or vertically, towards
// the position `towards` along it.
std::optional<Line> followSide(const image::PixelView& picture, bool horizontal, PlanePoint corner, double towards)
{
    const double start = horizontal ? corner.x : corner.y, across = horizontal ? corner.y : corner.x;
    const int step = towards > start ? 1 : -1;
    const int first = int(std::lround(start)) + step * kCornerClearance;
    const int last = int(std::lround(towards)) - step * kCornerClearance;
    const int span = (last - first) * step;
    if (span < 20) return std::nullopt;
    std::vector<Sample> samples;
    // Close to the corner the side is sought as clicked, within a few pixels;
    // once some of it is found, along the line it has shown so far.
    Line expected{across, 0.0};
    double reach = 5.0;
    std::size_t fittedAt = 0;
    for (int along = first; along != last + step; along += step) {
        if (const auto found = lineAt(picture, horizontal, along, expected.at(along), reach))
            samples.push_back({double(along), *found});
        if (samples.size() >= 8 && samples.size() >= 2 * fittedAt) {
            expected = fitted(samples);
            fittedAt = samples.size();
            reach = 2.5;
        }
    }
    return robustlyFitted(std::move(samples), std::max<std::size_t>(20, std::size_t(span) * 3 / 10));
}

// Where a horizontal side (y = a + b x) meets a vertical one (x = a + b y).
PlanePoint meeting(const Line& horizontal, const Line& vertical)
{
    const double x = (vertical.a + vertical.b * horizontal.a) / (1.0 - horizontal.b * vertical.b);
    return {x, horizontal.at(x)};
}

}  // namespace

std::variant<FrameCorners, std::string> findFrameCorners(const image::PixelView& picture, PlanePoint lowerLeft,
                                                         PlanePoint upperRight)
{
    const auto bottom = followSide(picture, true, lowerLeft, upperRight.x);
    const auto left = followSide(picture, false, lowerLeft, upperRight.y);
    const auto top = followSide(picture, true, upperRight, lowerLeft.x);
    const auto right = followSide(picture, false, upperRight, lowerLeft.y);
    if (!bottom || !left || !top || !right) return std::string(msg::kNoFrame);
    return FrameCorners{meeting(*top, *left), meeting(*bottom, *right)};
}

std::vector<ReferencePoint> frameCornerReferences(const FrameCorners& corners, const References& refs)
{
    return {{corners.upperLeft.x, corners.upperLeft.y, refs.x1, refs.y2},
            {corners.lowerRight.x, corners.lowerRight.y, refs.x2, refs.y1}};
}

}  // namespace vastrel::digitize
