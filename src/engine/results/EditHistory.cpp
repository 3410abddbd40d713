#include "engine/results/EditHistory.h"

namespace vastrel::results {

void EditHistory::push(EditStep step)
{
    undone_.clear();
    done_.push_back(std::move(step));
    if (done_.size() > kMaxSteps) done_.pop_front();
}

std::optional<EditStep> EditHistory::undo()
{
    if (done_.empty()) return std::nullopt;
    undone_.push_back(done_.back());
    done_.pop_back();
    return undone_.back();
}

std::optional<EditStep> EditHistory::redo()
{
    if (undone_.empty()) return std::nullopt;
    done_.push_back(undone_.back());
    undone_.pop_back();
    return done_.back();
}

void EditHistory::clear()
{
    done_.clear();
    undone_.clear();
}

}  // namespace vastrel::results
