#include "engine/results/SeriesSet.h"

#include <algorithm>

namespace vastrel::results {

std::vector<Series> SeriesSet::all() const
{
    std::vector<Series> every = kept;
    if (latest) every.push_back(*latest);
    return every;
}

QString nextSeriesName(const SeriesSet& set)
{
    for (std::size_t n = set.kept.size() + 1;; ++n) {
        const QString name = QStringLiteral("系列 %1").arg(n);
        if (std::none_of(set.kept.begin(), set.kept.end(), [&](const Series& s) { return s.name == name; }))
            return name;
    }
}

bool keepLatest(SeriesSet& set)
{
    if (!set.latest) return false;
    set.kept.push_back(std::move(*set.latest));
    set.latest.reset();
    set.latestEdited = false;
    set.listed = set.kept.size() - 1;
    return true;
}

}  // namespace vastrel::results
