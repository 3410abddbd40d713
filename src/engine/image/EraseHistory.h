#pragma once
// The erasures made in the drawing area, newest last, each kept as the pixels
// it painted over, so that they can be taken back one at a time down to the
// loaded image. A step costs only its own rectangle.

#include <QImage>
#include <QRect>
#include <vector>

namespace vastrel::image {

class EraseHistory {
public:
    // Paints `rectangle` white in `area` as eraseRectangle does and keeps what
    // it covered; returns the painted part. A rectangle wholly outside the
    // area paints nothing and is no step.
    QRect erase(QImage& area, QRect rectangle);

    // Puts back what the newest step painted over and forgets the step;
    // returns the rectangle put back (empty when there was nothing to undo).
    // `area` is the image the steps were made in.
    QRect undo(QImage& area);

    bool canUndo() const { return !steps_.empty(); }
    std::size_t size() const { return steps_.size(); }
    void clear() { steps_.clear(); }

private:
    struct Step {
        QRect at;
        QImage covered;
    };
    std::vector<Step> steps_;
};

}  // namespace vastrel::image
