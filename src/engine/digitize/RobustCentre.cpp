#include "engine/digitize/RobustCentre.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace vastrel::digitize::markers {

namespace {

// Values between pixels, bilinear; nothing beyond the edge.
template <typename At>
double between(double x, double y, const At& at)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    return (1 - fy) * ((1 - fx) * at(x0, y0) + fx * at(x0 + 1, y0)) +
           fy * ((1 - fx) * at(x0, y0 + 1) + fx * at(x0 + 1, y0 + 1));
}

// The place near (x, y) where `cost` is lowest: down from 0.4 of a pixel to
// a tenth, each time to the best of the eight places around.
template <typename Cost>
std::pair<double, double> lowest(const Cost& cost, double x, double y)
{
    double best = cost(x, y);
    for (double step = 0.4; step >= 0.09; step /= 2) {
        double bx = x, by = y;
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) {
                if (i == 0 && j == 0) continue;
                const double c = cost(x + i * step, y + j * step);
                if (c < best) best = c, bx = x + i * step, by = y + j * step;
            }
        x = bx, y = by;
    }
    return {x, y};
}

}  // namespace

bool pointSymmetric(const Template& t)
{
    // Compared a little blurred: an outline of one pixel drawn off the grid
    // lies over two, and its mirror image between them.
    constexpr double kAsymmetry = 0.35;  // a filled triangle's is 0.5 or more, a hollow one's 0.6
    std::vector<float> model(static_cast<std::size_t>(t.width) * t.height, 0.0f);
    for (const Template::Ink& k : t.ink) model[static_cast<std::size_t>(k.dy) * t.width + k.dx] = k.value;
    const auto at = [&](int x, int y) {
        return x < 0 || y < 0 || x >= t.width || y >= t.height ? 0.0 : double(model[std::size_t(y) * t.width + x]);
    };
    std::vector<double> blurred(model.size(), 0.0);
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) blurred[std::size_t(y) * t.width + x] += at(x + dx, y + dy) / 9;
    const auto soft = [&](int x, int y) {
        return x < 0 || y < 0 || x >= t.width || y >= t.height ? 0.0 : blurred[std::size_t(y) * t.width + x];
    };
    double off = 0, all = 0;
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) {
            off += std::fabs(soft(x, y) - between(2 * t.centreX - x, 2 * t.centreY - y, soft));
            all += soft(x, y);
        }
    return off <= kAsymmetry * all;
}

std::pair<double, double> symmetricCentre(const Grid& g, const Template& t, int left, int top, double x, double y,
                                          const std::function<bool(int, int)>& skip)
{
    // The template's box and a margin of the pixels its mirror images may
    // reach, copied once: every place tried reads them many times.
    constexpr int kMargin = 3;
    const int x0 = left - kMargin, y0 = top - kMargin, w = t.width + 2 * kMargin, h = t.height + 2 * kMargin;
    std::vector<float> ink(static_cast<std::size_t>(w) * h, 0.0f);
    std::vector<char> leftOut(ink.size(), 1);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const std::size_t k = std::size_t(j) * w + i;
            leftOut[k] = skip(x0 + i, y0 + j);
            if (g.contains(x0 + i, y0 + j)) ink[k] = g.at(x0 + i, y0 + j);
        }
    const auto at = [&](int i, int j) {
        return i < 0 || j < 0 || i >= w || j >= h ? 0.0 : double(ink[std::size_t(j) * w + i]);
    };
    const auto out = [&](int i, int j) {
        return i < 0 || j < 0 || i >= w || j >= h || leftOut[std::size_t(j) * w + i];
    };
    std::vector<std::pair<int, int>> pixels;
    for (const auto& [dx, dy] : t.footprint)
        if (!out(dx + kMargin, dy + kMargin)) pixels.emplace_back(dx + kMargin, dy + kMargin);
    const auto mismatch = [&](double cx, double cy) {
        const double ox = 2 * (cx - x0), oy = 2 * (cy - y0);
        double sum = 0;
        for (const auto& [i, j] : pixels) {
            const double mi = ox - i, mj = oy - j;
            if (out(int(std::floor(mi + 0.5)), int(std::floor(mj + 0.5)))) continue;
            sum += std::fabs(at(i, j) - between(mi, mj, at));
        }
        return sum;
    };
    return lowest(mismatch, x, y);
}

std::pair<double, double> fittedCentre(const Grid& g, const Template& t, int left, int top, double x, double y,
                                       const std::function<bool(int, int)>& skip)
{
    std::vector<float> model(static_cast<std::size_t>(t.width) * t.height, 0.0f);
    for (const Template::Ink& k : t.ink) model[static_cast<std::size_t>(k.dy) * t.width + k.dx] = k.value;
    const auto modelAt = [&](int i, int j) {
        return i < 0 || j < 0 || i >= t.width || j >= t.height ? 0.0 : double(model[std::size_t(j) * t.width + i]);
    };
    struct Pixel {
        int x, y;
        double ink;
    };
    std::vector<Pixel> pixels;
    for (int py = top - 1; py <= top + t.height; ++py)
        for (int px = left - 1; px <= left + t.width; ++px)
            if (!skip(px, py)) pixels.push_back({px, py, g.contains(px, py) ? double(g.at(px, py)) : 0.0});
    const auto mismatch = [&](double cx, double cy) {
        const double ox = cx - t.centreX, oy = cy - t.centreY;
        double sum = 0;
        for (const Pixel& p : pixels) sum += std::fabs(p.ink - between(p.x - ox, p.y - oy, modelAt));
        return sum;
    };
    return lowest(mismatch, x, y);
}

}  // namespace vastrel::digitize::markers
