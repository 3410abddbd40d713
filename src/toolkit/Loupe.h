#pragma once
// A magnifier beside the pointer: the pixels around one pixel of a picture
// box, enlarged, with that pixel outlined and a caption below. It floats above
// the windows, takes no focus, lets clicks through and keeps clear of the
// pointer, so it never hides what the user aims at.

#include "engine/image/PixelView.h"

#include <QImage>
#include <QRect>
#include <QWidget>

namespace vastrel::tk {

class Loupe : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRadius = 10;  // 21 x 21 pixels around the centre
    static constexpr int kZoom = 8;
    static constexpr int kClearance = 40;  // from the pointer, in screen pixels

    explicit Loupe(QWidget* owner);

    // Shows the pixels of `pixels` around `centre` (pixels outside the view
    // hatched), with `caption`, beside the pointer at screen position `pointer`.
    void showAround(const image::PixelView& pixels, QPoint centre, const QString& caption, QPoint pointer);

    QString Caption() const { return caption_; }
    // Where the enlarged pixel (dx, dy) from the centre lies in the loupe.
    static QRect cellOf(int dx, int dy);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage neighbourhood_;
    QString caption_;
    WId inputPassesThrough_ = 0;  // the window whose input region was made empty
};

// The top-left corner of a window of `size` beside `pointer`: below and to the
// right of it, at least `clearance` away on both axes, and on the other side
// of the pointer where that would leave `screen`.
QPoint besidePointer(QPoint pointer, QSize size, QRect screen, int clearance);

}  // namespace vastrel::tk
