#include "results/ResultPlot.h"

#include "engine/text/NumberText.h"
#include "shell/Module1.h"

#include <cmath>

namespace vastrel::results {

namespace {

// The number of decades between two values of a logarithmic axis; below 1
// (or not a number) for no decade line at all.
double decades(double from, double to)
{
    const double n = std::log(to / from) / std::log(10.0);
    // An overflowing ratio would make the decade loops endless.
    return std::isfinite(n) ? n : 0.0;
}

}  // namespace

void drawResultPlot(tk::PictureBox& plot, const shell::Module1& module, const digitize::References& refs,
                    bool withTablesCurve)
{
    const float sx = refs.startX, sy = refs.startY;
    const float ex = refs.endX, ey = refs.endY;
    const bool logX = digitize::hasLogarithmicX(refs.mode), logY = digitize::hasLogarithmicY(refs.mode);
    const tk::ColorValue curveColor = tk::QBColor(12);

    plot.Cls();
    plot.setDrawWidth(2);
    plot.Box(sx, sy, ex, ey);

    if (logY) {
        plot.setDrawWidth(1);
        const double n = decades(refs.y1, refs.y2);
        for (int k = 1; k <= n; ++k) {
            const auto yk = static_cast<float>(sy - ((sy - ey) * k) / n);
            plot.Line(sx, yk, ex, yk);
        }
    }
    if (logX) {
        plot.setDrawWidth(1);
        const double n = decades(refs.x1, refs.x2);
        for (int k = 1; k <= n; ++k) {
            const auto xk = static_cast<float>(sx + ((ex - sx) * k) / n);
            plot.Line(xk, sy, xk, ey);
        }
    }

    // Point i lies in column sx + 1 + i, so the polyline starts at point 2.
    plot.setDrawWidth(2);
    if (!withTablesCurve) {
        // The series the result window shows are painted over the plot instead.
    } else if (const auto first = module.firstPointColumn) {
        // A curve that starts or ends inside the window: its own columns only.
        if (module.PointCount >= 1) plot.PSet(*first, module.CurvePixelY(1), curveColor);
        for (int k = 2; k <= module.PointCount; ++k)
            plot.LineTo(*first + float(k - 1), module.CurvePixelY(k), curveColor);
    } else {
        plot.PSet(sx + 2, module.CurvePixelY(1), curveColor);
        int i = 2;
        for (float x = sx + 3; x <= ex - 2; x += 1) {
            plot.LineTo(x, module.CurvePixelY(i), curveColor);
            ++i;
        }
    }

    const double w = ex - sx, h = sy - ey;
    const auto printAt = [&plot](double x, double y, double value) {
        plot.setCurrentX(static_cast<float>(x));
        plot.setCurrentY(static_cast<float>(y));
        plot.Print(QString::fromStdString(text::doubleText(value)));
    };
    printAt(sx - 0.05 * w, sy + 0.02 * h, refs.x1);
    printAt(ex - 0.05 * w, sy + 0.02 * h, refs.x2);
    printAt(ex + 0.02 * w, sy - 0.02 * h, refs.y1);
    printAt(ex + 0.02 * w, ey - 0.02 * h, refs.y2);
}

}  // namespace vastrel::results
