#pragma once
// The erasures made in the drawing area, newest last, each kept as the pixels
// it painted over, so that they can be taken back one at a time down to the
// loaded image. A step costs only its own rectangle, and the steps together
// at most a set amount of memory: beyond it the oldest are forgotten.

#include <QImage>
#include <QRect>
#include <deque>

namespace vastrel::image {

// What the undo steps may keep: twenty erasures of the whole drawing area.
inline constexpr qsizetype kUndoMemory = qsizetype(64) << 20;

class EraseHistory {
public:
    explicit EraseHistory(qsizetype maxBytes = kUndoMemory) : maxBytes_(maxBytes) {}

    // Paints `rectangle` white in `area` as eraseRectangle does and keeps what
    // it covered; returns the painted part. A rectangle wholly outside the
    // area paints nothing and is no step. Keeping the step may forget the
    // oldest ones; the newest is always kept.
    QRect erase(QImage& area, QRect rectangle);

    // Puts back what the newest step painted over and forgets the step;
    // returns the rectangle put back (empty when there was nothing to undo).
    // `area` is the image the steps were made in.
    QRect undo(QImage& area);

    bool canUndo() const { return !steps_.empty(); }
    std::size_t size() const { return steps_.size(); }
    // How many of the oldest steps were forgotten to keep within the memory,
    // since the history was last cleared.
    std::size_t forgotten() const { return forgotten_; }
    qsizetype bytesKept() const { return bytes_; }
    void clear();

private:
    struct Step {
        QRect at;
        QImage covered;
    };
    const qsizetype maxBytes_;
    std::deque<Step> steps_;
    qsizetype bytes_ = 0;
    std::size_t forgotten_ = 0;
};

}  // namespace vastrel::image
