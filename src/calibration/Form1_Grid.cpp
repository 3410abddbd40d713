// "目盛を表示": the axes as the reference points map them, drawn over the
// picture as grid lines at round values with their values beside them, in a
// colour no graph uses for its own grid. A user sees at a glance whether the
// lines lie on the printed grid and ticks: a mistyped value shows as a grid
// that does not. It is an overlay: the scans never read it.

#include "engine/digitize/GridValues.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QPainter>

namespace vastrel::shell {

namespace {

const QColor kGridColour(230, 0, 230);

// Drawing-area pixel k's centre lies half a pixel into it.
QPointF centreOf(digitize::PlanePoint pixel)
{
    return {pixel.x + 0.5, pixel.y + 0.5};
}

QString valueText(double value)
{
    return QString::number(value, 'g', 6);
}

}  // namespace

void Form1::showGrid(bool shown)
{
    gridShown_ = shown;
    if (gridAction) gridAction->setChecked(shown);
    refreshOverlay();
}

void Form1::drawGrid(QPainter& painter)
{
    painter.setPen(QPen(kGridColour, 1));
    // Not the image area's own title font: small upright figures.
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(11);
    painter.setFont(font);
    const digitize::FitOutcome fit = fittedReferences();
    if (!fit.ok()) {
        painter.drawText(QPointF(6, 16), QStringLiteral("目盛:%1").arg(QString::fromStdString(fit.refusal)));
        return;
    }
    const digitize::FittedMapping& mapping = *fit.mapping;
    const digitize::References refs = typedReferences();
    const digitize::PlanePoint first = mapping.frameOf(refs.x1, refs.y1), last = mapping.frameOf(refs.x2, refs.y2);
    const auto line = [&](digitize::PlanePoint from, digitize::PlanePoint to) {
        painter.drawLine(centreOf(mapping.pixelOfFrame(from)), centreOf(mapping.pixelOfFrame(to)));
    };
    const QFontMetrics metrics(font);
    for (const double x : digitize::gridValues(refs.x1, refs.x2, digitize::hasLogarithmicX(refs.mode))) {
        const double u = mapping.frameOf(x, refs.y1).x;
        line({u, first.y}, {u, last.y});
        const QPointF foot = centreOf(mapping.pixelOfFrame({u, first.y}));
        const QString label = valueText(x);
        painter.drawText(foot + QPointF(-metrics.horizontalAdvance(label) / 2.0, 14), label);
    }
    for (const double y : digitize::gridValues(refs.y1, refs.y2, digitize::hasLogarithmicY(refs.mode))) {
        const double v = mapping.frameOf(refs.x1, y).y;
        line({first.x, v}, {last.x, v});
        const QPointF foot = centreOf(mapping.pixelOfFrame({first.x, v}));
        const QString label = valueText(y);
        painter.drawText(foot + QPointF(-metrics.horizontalAdvance(label) - 4.0, 4), label);
    }
}

}  // namespace vastrel::shell
