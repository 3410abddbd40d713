#pragma once
// Another line of the curve's colour close beside the curve followed: its
// course, so that where the two cross, the curve is not continued along it.

#include <cmath>
#include <cstddef>
#include <span>

#include "engine/digitize/ColourRuns.h"
#include "engine/digitize/CurveCourse.h"

namespace vastrel::digitize {

struct RivalCourse {
    // Columns after which a line last seen is forgotten.
    static constexpr std::ptrdiff_t kMemory = 40;
    CurveCourse course;
    std::ptrdiff_t lastSeen = 0;

    bool follows(std::ptrdiff_t col) const
    {
        return !course.empty() && course.pointCount() >= 3 && std::abs(col - lastSeen) <= kMemory;
    }
    // Notes the run nearest the rival's course (or, where none is known, the
    // course of the curve at `predicted`) other than `taken`, if any, where
    // it is part of a `line` (not a marker's side, a label's stroke).
    template <typename IsLine>
    void see(std::ptrdiff_t col, std::span<const ColourRun> column, const ColourRun* taken, double within,
             double predicted, const IsLine& line)
    {
        const bool known = !course.empty() && std::abs(col - lastSeen) <= kMemory;
        const double expected = known ? course.rowAt(static_cast<double>(col)) : predicted;
        const ColourRun* nearest = nullptr;
        for (const ColourRun& run : column)
            if (&run != taken && !run.alongLine && std::fabs(run.centre - predicted) <= within &&
                (!nearest || std::fabs(run.centre - expected) < std::fabs(nearest->centre - expected)))
                nearest = &run;
        if (!nearest || !line(*nearest)) return;
        if (known && std::fabs(nearest->centre - expected) <= 3.0)
            course.add(static_cast<double>(col), nearest->centre);
        else
            course.restart(static_cast<double>(col), nearest->centre);
        lastSeen = col;
    }
};

}  // namespace vastrel::digitize
