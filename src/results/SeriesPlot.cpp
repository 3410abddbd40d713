#include "results/SeriesPlot.h"

#include <QFontMetrics>
#include <array>

namespace vastrel::results {

QColor seriesColour(const Series& series, std::size_t place)
{
    // A colour that shows on the pale plot; white-ish ones could not be chosen.
    if (series.colour) return QColor(series.colour->red, series.colour->green, series.colour->blue);
    static constexpr std::array<QRgb, 6> kCycle{0x1f3fbf, 0xd02020, 0x208020, 0x9020a0, 0xc07000, 0x008080};
    return QColor::fromRgb(kCycle[place % kCycle.size()]);
}

namespace {

void paintOne(QPainter& painter, const Series& series, QColor colour, const digitize::PixelCalibration& calibration)
{
    const auto at = [&](const SeriesPoint& p) {
        const digitize::PlanePoint shown = calibration.scannedOf({p.column, p.row});
        return QPointF(shown.x + 0.5, shown.y + 0.5);
    };
    if (series.rule == SeriesRule::Markers) {
        painter.setPen(QPen(colour, 1.5));
        painter.setBrush(Qt::NoBrush);
        for (const SeriesPoint& p : series.points) painter.drawEllipse(at(p), 4.0, 4.0);
        return;
    }
    QPolygonF line;
    line.reserve(qsizetype(series.points.size()));
    for (const SeriesPoint& p : series.points) line.append(at(p));
    // One pixel wide: the rasterizer's quick lines.
    painter.setPen(QPen(colour, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(line);
    painter.drawPolyline(line.translated(0, 1));
}

}  // namespace

void paintSeries(QPainter& painter, const SeriesSet& set, const digitize::PixelCalibration& calibration)
{
    // Plain lines, as the run's own curve is drawn: ten series of a thousand
    // points repaint at once after every edit.
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t i = 0; i < set.count(); ++i) paintOne(painter, set.at(i), seriesColour(set.at(i), i), calibration);

    // The legend, in the upper-left corner of the plot's frame.
    QFont font = painter.font();
    font.setPointSizeF(10);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const auto& refs = set.refs;
    const QPointF origin(refs.startX + 12, refs.endY + 12);
    for (std::size_t i = 0; i < set.count(); ++i) {
        const Series& s = set.at(i);
        const QColor colour = seriesColour(s, i);
        const QPointF row = origin + QPointF(0, double(i) * (metrics.height() + 4));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 220));
        painter.drawRect(
            QRectF(row - QPointF(4, 2), QSizeF(36 + metrics.horizontalAdvance(s.name), metrics.height() + 4)));
        painter.setPen(QPen(colour, 2));
        if (s.rule == SeriesRule::Markers)
            painter.drawEllipse(row + QPointF(12, metrics.height() / 2.0), 4.0, 4.0);
        else
            painter.drawLine(row + QPointF(2, metrics.height() / 2.0), row + QPointF(22, metrics.height() / 2.0));
        painter.setPen(Qt::black);
        painter.drawText(row + QPointF(28, metrics.ascent()), s.name);
    }
}

}  // namespace vastrel::results
