#include "results/StoredPoints.h"

#include "shell/Module1.h"

#include <algorithm>

namespace vastrel::results {

std::vector<GraphPoint> storedPoints(const shell::Module1& module)
{
    std::vector<GraphPoint> points;
    points.reserve(static_cast<std::size_t>(std::max<int>(module.PointCount, 0)));
    for (int i = 1; i <= module.PointCount; ++i)
        points.push_back({module.DigitizedPoints(i).X, module.DigitizedPoints(i).Y});
    return points;
}

}  // namespace vastrel::results
