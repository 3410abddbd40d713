// The image area's own menu, opened by a right click (press and release at
// the same pixel) on the image while no pick is armed. It is built once and
// shown without blocking, so that the window goes on taking events.

#include "shell/Form1.h"
#include "shell/Module1.h"

#include <utility>

namespace vastrel::shell {

void Form1::createImageAreaMenu()
{
    imageAreaMenu = new QMenu(this);
    clearCurveColourAction = imageAreaMenu->addAction(QStringLiteral("曲線の色を解除"));
    clearCurveColourAction->setEnabled(module_.curveColour.has_value());
    connect(clearCurveColourAction, &QAction::triggered, this, &Form1::clearCurveColour);
}

void Form1::Picture1_MouseUp(int Button, int, float X, float Y)
{
    constexpr int kRightButton = 2;
    const std::optional<QPointF> pressed = std::exchange(rightPress_, std::nullopt);
    if (Button != kRightButton || pressed != QPointF(X, Y) || module_.PickMode != 0) return;
    const QPoint inArea(static_cast<int>(X), static_cast<int>(Y));
    imageAreaMenu->popup(Picture1->mapToGlobal(Picture1->contentsRect().topLeft() + inArea));
}

}  // namespace vastrel::shell
