#include "digitize/ShowDigitizedResult.h"

#include "results/Form2.h"
#include "results/Form3.h"
#include "engine/results/RowText.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "engine/text/NumberText.h"
#include "engine/text/TypedNumber.h"

#include <cmath>

namespace vastrel::digitize {

namespace {

struct TypedValues {
    double x1, x2, y1, y2;
};

// The number of decades between two values of a logarithmic axis; below 1
// (or not a number) for no decade line at all.
double decades(double from, double to)
{
    const double n = std::log(to / from) / std::log(10.0);
    // An overflowing ratio would make the decade loops endless.
    return std::isfinite(n) ? n : 0.0;
}

void drawPlot(tk::PictureBox& plot, const shell::Module1& module, const TypedValues& typed)
{
    const float sx = module.StartPixelX, sy = module.StartPixelY;
    const float ex = module.EndPixelX, ey = module.EndPixelY;
    const tk::ColorValue curveColor = tk::QBColor(12);

    plot.Cls();
    plot.setDrawWidth(2);
    plot.Box(sx, sy, ex, ey);

    if (module.AxisScaleMode == 2 || module.AxisScaleMode == 3) {
        plot.setDrawWidth(1);
        const double n = decades(typed.y1, typed.y2);
        for (int k = 1; k <= n; ++k) {
            const auto yk = static_cast<float>(sy - ((sy - ey) * k) / n);
            plot.Line(sx, yk, ex, yk);
        }
    }
    if (module.AxisScaleMode == 3 || module.AxisScaleMode == 4) {
        plot.setDrawWidth(1);
        const double n = decades(typed.x1, typed.x2);
        for (int k = 1; k <= n; ++k) {
            const auto xk = static_cast<float>(sx + ((ex - sx) * k) / n);
            plot.Line(xk, sy, xk, ey);
        }
    }

    // Point i lies in column sx + 1 + i, so the polyline starts at point 2.
    plot.setDrawWidth(2);
    if (const auto first = module.firstPointColumn) {
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
    printAt(sx - 0.05 * w, sy + 0.02 * h, typed.x1);
    printAt(ex - 0.05 * w, sy + 0.02 * h, typed.x2);
    printAt(ex + 0.02 * w, sy - 0.02 * h, typed.y1);
    printAt(ex + 0.02 * w, ey - 0.02 * h, typed.y2);
}

}  // namespace

void ShowDigitizedResult(shell::Module1& module)
{
    const shell::Form1& main = module.form1();
    const TypedValues typed{text::typedNumber(main.Text1->Text()), text::typedNumber(main.Text3->Text()),
                            text::typedNumber(main.Text2->Text()), text::typedNumber(main.Text4->Text())};
    results::Form2& result = module.form2();
    drawPlot(*result.Picture1, module, typed);

    result.List1->Clear();
    module.platform().DoEvents();
    QStringList rows;
    for (int i = 1; i <= module.PointCount; ++i)
        rows.append(
            QString::fromStdString(results::resultListRow(module.DigitizedPoints(i).X, module.DigitizedPoints(i).Y)));
    result.List1->AddItems(rows);

    results::Form3& dialog = module.form3();
    dialog.List1->Clear();
    module.platform().DoEvents();
    QStringList preview{
        QString::fromUtf8(results::previewHeader.data(), static_cast<qsizetype>(results::previewHeader.size()))};
    for (int i = 1; i <= module.PointCount; ++i)
        preview.append(
            QString::fromStdString(results::previewRow(module.DigitizedPoints(i).X, module.DigitizedPoints(i).Y)));
    dialog.List1->AddItems(preview);

    result.Show();
}

}  // namespace vastrel::digitize
