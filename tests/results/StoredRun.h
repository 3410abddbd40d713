#pragma once
// A finished Digitize run put straight into the shared state and the main
// window's boxes, and the pointer driven over the result window's plot.

#include "results/Form2.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <functional>

namespace vastrel::testing {

struct ReferencePixels {
    float sx, sy, ex, ey;
};

// Point i lies in column sx + 1 + i on row curveRow(i), with graph values
// (i, -i / 2); the boxes hold X1, Y1, X2, Y2.
inline void storeRun(shell::Module1& module, shell::Form1& main, ReferencePixels at,
                     const std::function<float(int)>& curveRow, int scaleMode = 1,
                     const QStringList& typed = {"0", "0", "10", "10"})
{
    module.StartPixelX = at.sx;
    module.StartPixelY = at.sy;
    module.EndPixelX = at.ex;
    module.EndPixelY = at.ey;
    module.AxisScaleMode = static_cast<std::int16_t>(scaleMode);
    module.PointCount = static_cast<std::int16_t>(std::max(0, static_cast<int>(at.ex - at.sx) - 3));
    for (int i = 1; i <= module.PointCount; ++i) {
        module.DigitizedPoints(i).X = i;
        module.DigitizedPoints(i).Y = -i / 2.0;
        module.CurvePixelY(i) = curveRow(i);
    }
    const QList<tk::TextBox*> boxes = {main.Text1, main.Text2, main.Text3, main.Text4};
    for (int box = 0; box < 4; ++box) boxes[box]->setText(typed[box]);
    module.DigitizedFlag = 1;
}

// Moves the pointer to drawing-area pixel (x, y) and waits for the handler.
inline bool moveOverPlot(results::Form2& window, int x, int y)
{
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    QSignalSpy moves(window.Picture1, &tk::PictureBox::MouseMove);
    QTest::mouseMove(window.Picture1, window.Picture1->contentsRect().topLeft() + QPoint(x, y));
    if (moves.isEmpty()) moves.wait(1000);
    return !moves.isEmpty();
}

}  // namespace vastrel::testing
