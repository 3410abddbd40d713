#include "engine/image/EraseHistory.h"

#include "engine/image/Erasing.h"

#include <QPainter>

namespace vastrel::image {

QRect EraseHistory::erase(QImage& area, QRect rectangle)
{
    const QRect target = rectangle.intersected(area.rect());
    if (target.isEmpty()) return {};
    QImage covered = area.copy(target);
    const QRect painted = eraseRectangle(area, target);
    bytes_ += covered.sizeInBytes();
    steps_.push_back({painted, std::move(covered)});
    while (bytes_ > maxBytes_ && steps_.size() > 1) {
        bytes_ -= steps_.front().covered.sizeInBytes();
        steps_.pop_front();
        ++forgotten_;
    }
    return painted;
}

QRect EraseHistory::undo(QImage& area)
{
    if (steps_.empty()) return {};
    const Step step = std::move(steps_.back());
    steps_.pop_back();
    bytes_ -= step.covered.sizeInBytes();
    QPainter painter(&area);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(step.at.topLeft(), step.covered);
    return step.at;
}

void EraseHistory::clear()
{
    steps_.clear();
    bytes_ = 0;
    forgotten_ = 0;
}

}  // namespace vastrel::image
