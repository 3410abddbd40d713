#pragma once
// The one history of what a user did to a figure, taken back and done again
// step by step with Ctrl+Z and Ctrl+Shift+Z: an erasure (its rectangle, whose
// pixels the erase history keeps) or a change of the series (the set before
// and after it).

#include <QRect>
#include <deque>
#include <optional>

#include "engine/results/SeriesSet.h"

namespace vastrel::results {

struct EditStep {
    std::optional<QRect> erased;  // an erasure, or else a change of the series
    SeriesSet before;
    SeriesSet after;
};

class EditHistory {
public:
    // The most steps kept; beyond it the oldest are forgotten.
    static constexpr std::size_t kMaxSteps = 500;

    // A new step: what was undone can no longer be done again.
    void push(EditStep step);
    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    // What undo() would take back; null when nothing.
    const EditStep* newestDone() const { return done_.empty() ? nullptr : &done_.back(); }
    // The newest step done, moved to the ones that can be done again.
    std::optional<EditStep> undo();
    // The newest step undone, moved back to the ones done.
    std::optional<EditStep> redo();
    void clear();

private:
    std::deque<EditStep> done_;
    std::deque<EditStep> undone_;
};

}  // namespace vastrel::results
