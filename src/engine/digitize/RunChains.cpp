#include "engine/digitize/RunChains.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vastrel::digitize {

RunChains::RunChains(const ColourRuns& runs) : runs_(runs), parent_(runs.totalRuns())
{
    std::iota(parent_.begin(), parent_.end(), std::size_t{0});
    for (std::size_t col = 0; col + 1 < runs.columnCount(); ++col) joinTouching(col);
    measure();
}

std::int64_t RunChains::height(std::size_t run)
{
    const Extent& e = chain_[find(run)];
    return e.bottomRow - e.topRow + 1;
}

RunAt RunChains::middleOfLongest()
{
    std::size_t best = 0;
    for (std::size_t i = 1; i < parent_.size(); ++i) {
        const Extent& e = chain_[find(i)];
        const Extent& b = chain_[find(best)];
        if (e.span() > b.span() || (e.span() == b.span() && e.weight > b.weight)) best = i;
    }
    const Extent& longest = chain_[find(best)];
    const std::size_t middle = (longest.firstColumn + longest.lastColumn) / 2;
    RunAt seed{middle, 0};
    double heaviest = -1.0;
    const auto column = runs_.column(middle);
    // Rather a run off the lines across the window: a grid joins them
    // all into one chain with the curve.
    for (std::size_t k = 0; k < column.size(); ++k) {
        const double weight = column[k].weight + (column[k].alongLine ? 0.0 : 1e9);
        if (find(runs_.firstIndexOf(middle) + k) == find(best) && weight > heaviest) {
            heaviest = weight;
            seed.index = k;
        }
    }
    return seed;
}

std::size_t RunChains::find(std::size_t i)
{
    while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
    return i;
}

// Both columns' runs are sorted and disjoint, so one sweep finds every
// touching pair.
void RunChains::joinTouching(std::size_t col)
{
    const auto left = runs_.column(col), right = runs_.column(col + 1);
    std::size_t a = 0, b = 0;
    while (a < left.size() && b < right.size()) {
        if (left[a].touches(right[b]))
            parent_[find(runs_.firstIndexOf(col) + a)] = find(runs_.firstIndexOf(col + 1) + b);
        if (left[a].bottom < right[b].bottom)
            ++a;
        else
            ++b;
    }
}

void RunChains::measure()
{
    chain_.assign(parent_.size(), Extent{});
    for (std::size_t col = 0; col < runs_.columnCount(); ++col) {
        const auto column = runs_.column(col);
        for (std::size_t k = 0; k < column.size(); ++k) {
            Extent& e = chain_[find(runs_.firstIndexOf(col) + k)];
            e.firstColumn = std::min(e.firstColumn, col);
            e.lastColumn = std::max(e.lastColumn, col);
            e.topRow = std::min(e.topRow, column[k].top);
            e.bottomRow = std::max(e.bottomRow, column[k].bottom);
            e.weight += column[k].weight;
        }
    }
}

Onward onwardFrom(const ColourRuns& runs, std::size_t column, std::size_t index, int direction, std::size_t columns,
                  bool withCentres)
{
    ColourRun current = runs.column(column)[index];
    const double start = current.centre;
    std::ptrdiff_t col = static_cast<std::ptrdiff_t>(column);
    Onward onward;
    const auto count = static_cast<std::ptrdiff_t>(runs.columnCount());
    while (onward.steps < columns && col + direction >= 0 && col + direction < count) {
        const auto next = runs.column(static_cast<std::size_t>(col + direction));
        // Where the chain forks (it meets another line), the branch that
        // goes on straight.
        const double expected =
            current.centre + (onward.steps == 0 ? 0.0 : (current.centre - start) / static_cast<double>(onward.steps));
        const ColourRun* touching = nullptr;
        for (const ColourRun& run : next)
            if (!run.alongLine && run.touches(current) &&
                (!touching || std::fabs(run.centre - expected) < std::fabs(touching->centre - expected)))
                touching = &run;
        if (!touching) break;
        current = *touching;
        col += direction;
        ++onward.steps;
        onward.tallest = std::max(onward.tallest, current.bottom - current.top + 1);
        if (withCentres) onward.centres.emplace_back(static_cast<std::size_t>(col), current.centre);
    }
    if (onward.steps >= 3)
        onward.slope =
            (current.centre - start) / static_cast<double>(direction * static_cast<std::ptrdiff_t>(onward.steps));
    return onward;
}

std::optional<double> slopeThrough(const ColourRuns& runs, std::size_t column, std::size_t index, std::size_t columns)
{
    const Onward right = onwardFrom(runs, column, index, +1, columns, true);
    const Onward left = onwardFrom(runs, column, index, -1, columns, true);
    if (right.steps + left.steps < 3) return std::nullopt;
    const auto end = [&](const Onward& o) {
        return o.centres.empty() ? std::pair{column, runs.column(column)[index].centre} : o.centres.back();
    };
    const auto [c1, r1] = end(left);
    const auto [c2, r2] = end(right);
    return (r2 - r1) / static_cast<double>(c2 - c1);
}

RunAt thinNear(const ColourRuns& runs, RunAt seed, std::size_t columns)
{
    const auto heightOf = [](const ColourRun& run) { return run.bottom - run.top + 1; };
    const auto at = [&](std::pair<std::size_t, double> centre) {
        const auto column = runs.column(centre.first);
        const auto it = std::find_if(column.begin(), column.end(),
                                     [&](const ColourRun& run) { return run.centre == centre.second; });
        return RunAt{centre.first, static_cast<std::size_t>(it - column.begin())};
    };
    const Onward right = onwardFrom(runs, seed.column, seed.index, +1, columns, true);
    const Onward left = onwardFrom(runs, seed.column, seed.index, -1, columns, true);
    // The line's usual height there: a marker covers far fewer columns than
    // the line around it.
    std::vector<std::int64_t> heights{heightOf(runs.column(seed.column)[seed.index])};
    for (const Onward* way : {&right, &left})
        for (const auto& centre : way->centres) {
            const RunAt run = at(centre);
            heights.push_back(heightOf(runs.column(run.column)[run.index]));
        }
    const auto middle = heights.begin() + static_cast<std::ptrdiff_t>(heights.size() / 2);
    std::nth_element(heights.begin(), middle, heights.end());
    const std::int64_t usual = *middle;
    const auto thin = [&](const ColourRun& run) {
        return heightOf(run) <= usual + std::max<std::int64_t>(2, usual / 4);
    };
    if (thin(runs.column(seed.column)[seed.index])) return seed;
    // A few columns into the thin line, past the mark's tapering edge.
    constexpr std::size_t kInto = 3;
    const auto thinFrom = [&](const Onward& way, std::size_t k) {
        if (k + kInto > way.centres.size()) return false;
        for (std::size_t j = k; j < k + kInto; ++j) {
            const RunAt run = at(way.centres[j]);
            if (!thin(runs.column(run.column)[run.index])) return false;
        }
        return true;
    };
    for (std::size_t k = 0; k < columns; ++k)
        for (const Onward* way : {&right, &left})
            if (thinFrom(*way, k)) return at(way->centres[k + kInto - 1]);
    return seed;
}

}  // namespace vastrel::digitize
