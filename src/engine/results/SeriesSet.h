#pragma once
// Every series of one figure in one place: those kept with "系列に追加", in
// order, the last run's result until it is kept, and the references all
// their values were converted with. The result window, its lists, the files,
// the clipboard and the project all read this one value.

#include <QString>
#include <optional>
#include <vector>

#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/References.h"
#include "engine/results/Series.h"

namespace vastrel::results {

struct SeriesSet {
    digitize::References refs;
    std::vector<digitize::ReferencePoint> more;
    std::vector<Series> kept;
    std::optional<Series> latest;
    // Which one the result window lists: an index into kept, or kept.size()
    // for the latest.
    std::size_t listed = 0;
    // The latest's points were corrected by hand: the run's tables no longer hold them.
    bool latestEdited = false;

    // Kept first, then the latest: the order of the result window's choice.
    std::size_t count() const { return kept.size() + (latest ? 1 : 0); }
    const Series& at(std::size_t i) const { return i < kept.size() ? kept[i] : *latest; }
    Series& at(std::size_t i) { return i < kept.size() ? kept[i] : *latest; }
    const Series* listedSeries() const { return listed < count() ? &at(listed) : nullptr; }
    Series* listedSeries() { return listed < count() ? &at(listed) : nullptr; }
    // Whether there is more than a single run to show: a kept series, or
    // markers, which the point tables of a run cannot hold.
    bool listsSeries() const
    {
        return !kept.empty() || (latest && (latest->rule == SeriesRule::Markers || latestEdited));
    }
    // Every series, the latest last, for the table of all series.
    std::vector<Series> all() const;
};

// "系列 1", "系列 2", ...: the first such name no kept series has, from the
// number after the kept ones.
QString nextSeriesName(const SeriesSet& set);

// The latest joins the kept ones and is listed; false when there is none.
bool keepLatest(SeriesSet& set);

}  // namespace vastrel::results
