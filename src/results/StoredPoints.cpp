#include "results/StoredPoints.h"

#include "shell/Module1.h"

#include <algorithm>

namespace vastrel::results {

std::vector<GraphPoint> storedPoints(const shell::Module1& module)
{
    if (module.series.listsSeries()) {
        std::vector<GraphPoint> listed;
        if (const Series* series = module.series.listedSeries())
            for (const SeriesPoint& p : series->points) listed.push_back({p.x, p.y});
        return listed;
    }
    std::vector<GraphPoint> points;
    points.reserve(static_cast<std::size_t>(std::max<int>(module.PointCount, 0)));
    for (int i = 1; i <= module.PointCount; ++i)
        points.push_back({module.DigitizedPoints(i).X, module.DigitizedPoints(i).Y});
    return points;
}

}  // namespace vastrel::results
