// The loupe: while a pick is armed (and while the eraser is dragged) the
// pixels around the pointer are shown enlarged beside it, with the position a
// press there would store.

#include "shell/Form1.h"
#include "shell/Module1.h"
#include "engine/text/NumberText.h"

namespace vastrel::shell {

void Form1::Picture1_LoupeMove(int, int, float X, float Y)
{
    const bool aiming = module_.PickMode == 1 || module_.PickMode == 2 || module_.PickMode == 3 || eraserDragging();
    const image::PixelView shown = Picture1->pixels();
    const QPoint pixel(static_cast<int>(X), static_cast<int>(Y));
    if (!aiming || !shown.contains(pixel.x(), pixel.y())) {
        hideLoupe();
        return;
    }
    const QString caption =
        QStringLiteral("X %1   Y %2")
            .arg(QString::fromStdString(text::singleText(X)), QString::fromStdString(text::singleText(Y)));
    loupe->showAround(shown, pixel, caption, Picture1->screenPosition(pixel));
}

void Form1::hideLoupe()
{
    loupe->hide();
}

}  // namespace vastrel::shell
