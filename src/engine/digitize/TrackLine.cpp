#include "engine/digitize/TrackLine.h"

#include <cstdlib>
#include <utility>

namespace vastrel::digitize {

std::optional<Line> lineThrough(const std::vector<TrackColumn>& track, std::size_t from, int direction)
{
    constexpr int kPoints = 10, kNextToGap = 2;
    constexpr std::ptrdiff_t kLongestBreak = 3;
    std::vector<std::pair<double, double>> found;
    std::ptrdiff_t lastFound = std::ptrdiff_t(from);
    for (std::ptrdiff_t i = std::ptrdiff_t(from); i >= 0 && i < std::ptrdiff_t(track.size()); i += direction) {
        if (!track[std::size_t(i)].row) {
            if (std::abs(i - lastFound) > kLongestBreak) break;
            continue;
        }
        found.emplace_back(double(i), *track[std::size_t(i)].row);
        lastFound = i;
        if (int(found.size()) == kPoints + kNextToGap) break;
    }
    const std::size_t skip = found.size() >= std::size_t(kPoints + kNextToGap) ? kNextToGap : 0;
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t k = skip; k < found.size(); ++k) {
        const auto [x, y] = found[k];
        n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
    }
    const double det = n * sxx - sx * sx;
    if (n < 3 || det == 0) return std::nullopt;
    const double b = (n * sxy - sx * sy) / det;
    return Line{(sy - b * sx) / n, b};
}

}  // namespace vastrel::digitize
