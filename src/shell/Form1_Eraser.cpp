// The eraser: a drag with the right button paints the rectangle it spans
// white into the picture, so the scan no longer finds a legend, a label or a
// tick mark there. Each erase can be taken back. Markers, crosshair, the
// shared state and any result are left alone.

#include "shell/Form1.h"
#include "engine/image/Erasing.h"
#include "shell/Module1.h"

namespace vastrel::shell {

namespace {

// A right click that moves less than this is a click, not a drag.
constexpr int kDragDistance = 3;

bool movedFar(QPoint from, QPoint to)
{
    const QPoint d = to - from;
    return d.x() * d.x() + d.y() * d.y() >= kDragDistance * kDragDistance;
}

QPoint pixelAt(float X, float Y)
{
    return {static_cast<int>(X), static_cast<int>(Y)};
}

}  // namespace

void Form1::beginErasing(float X, float Y)
{
    eraserPress_ = pixelAt(X, Y);
    eraserDragging_ = false;
    cancelEraseKey_->setEnabled(true);
}

void Form1::Picture1_EraserMove(int, int, float X, float Y)
{
    // With no picture loaded there is nothing to erase: the drag stays a click.
    if (!eraserPress_ || Picture1->Picture().isNull()) return;
    const QPoint at = pixelAt(X, Y);
    if (!eraserDragging_ && !movedFar(*eraserPress_, at)) return;
    eraserDragging_ = true;
    Picture1->setRubberBand(image::rectangleBetween(*eraserPress_, at));
}

void Form1::Picture1_MouseUp(int Button, int, float X, float Y)
{
    if (Button == 1) endPointEdit(X, Y);
    if (Button != tk::kRightButton || !eraserPress_) return;
    const QPoint press = *eraserPress_;
    const QPoint release = pixelAt(X, Y);
    // Judged at the release as well: a release far from the press is a drag
    // even when no move was reported in between.
    const bool dragged = eraserDragging_ || (movedFar(press, release) && !Picture1->Picture().isNull());
    endErasing();
    if (!dragged) {
        openImageAreaMenu(Picture1->screenPosition(release), release);
        return;
    }
    const QRect rectangle = image::rectangleBetween(press, release);
    Picture1->changePicture([&](QImage& area) {
        const QRect painted = eraseHistory_.erase(area, rectangle);
        if (!painted.isEmpty()) recordErasure(painted);
        return painted;
    });
    // Once in a session is enough: from then on the user knows.
    if (eraseHistory_.forgotten() > 0 && !toldOfForgottenErasures_) {
        toldOfForgottenErasures_ = true;
        module_.platform().MsgBox(
            QStringLiteral(" --- 古い消去から順に元に戻せなくなります (取り消しの記録は %1 MB までです) --- ")
                .arg(image::kUndoMemory >> 20));
    }
}

void Form1::cancelErasing()
{
    if (eraserPress_) endErasing();
}

void Form1::endErasing()
{
    eraserPress_.reset();
    eraserDragging_ = false;
    cancelEraseKey_->setEnabled(false);
    Picture1->clearRubberBand();
    hideLoupe();
}

}  // namespace vastrel::shell
