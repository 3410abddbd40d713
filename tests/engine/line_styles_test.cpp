// The colour rule on the ways printed graphs draw their curves: grid lines,
// a frame and ticks in the curve's own ink, dashed curves crossing solid ones
// of the same ink, markers on the line, and curves that start and end inside
// the plotting area. Each graph is drawn here with smoothing, as plotting
// programs draw them, with the plotted function known.

#include "engine/digitize/DigitizeRun.h"
#include "engine/image/DrawingArea.h"

#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace vastrel::digitize {
namespace {

// The plotting area: X 0 .. 10 over columns 100 .. 700, Y 0 .. 100 over rows 500 .. 100.
constexpr double kLeft = 100, kRight = 700, kBottom = 500, kTop = 100;
using Function = std::function<double(double)>;

QPointF at(double x, double y)
{
    return {kLeft + x * (kRight - kLeft) / 10, kBottom - y * (kBottom - kTop) / 100};
}

struct Page {
    QImage image{800, 600, QImage::Format_RGB32};
    QPainter painter;

    Page()
    {
        image.fill(Qt::white);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing);
    }
    // The line centred on pixel centres: QPainter's pixel k spans k .. k + 1.
    QPointF centre(QPointF p) const { return p + QPointF(0.5, 0.5); }
    void frame(QColor ink, bool ticks = true)
    {
        painter.setPen(QPen(ink, 1.5));
        painter.drawRect(QRectF(centre(at(0, 100)), centre(at(10, 0))));
        if (!ticks) return;
        for (int i = 1; i < 10; ++i) {
            painter.drawLine(centre(at(i, 0)), centre(at(i, 0)) - QPointF(0, 8));
            painter.drawLine(centre(at(0, i * 10)), centre(at(0, i * 10)) + QPointF(8, 0));
            painter.drawLine(centre(at(10, i * 10)), centre(at(10, i * 10)) - QPointF(8, 0));
        }
    }
    void grid(QColor major, QColor minor)
    {
        painter.setPen(QPen(minor, 1));
        for (int i = 1; i < 50; ++i)
            if (i % 5) {
                painter.drawLine(centre(at(i / 5.0, 0)), centre(at(i / 5.0, 100)));
                painter.drawLine(centre(at(0, i * 2)), centre(at(10, i * 2)));
            }
        painter.setPen(QPen(major, 1));
        for (int i = 1; i < 10; ++i) {
            painter.drawLine(centre(at(i, 0)), centre(at(i, 100)));
            painter.drawLine(centre(at(0, i * 10)), centre(at(10, i * 10)));
        }
    }
    void curve(const Function& f, QColor ink, double from = 0, double to = 10, Qt::PenStyle style = Qt::SolidLine,
               double width = 1.5)
    {
        QPainterPath path;
        for (double x = from; x <= to + 1e-9; x += 0.01) {
            const QPointF p = centre(at(x, f(x)));
            x == from ? path.moveTo(p) : path.lineTo(p);
        }
        QPen pen(ink, width, style);
        painter.setPen(pen);
        painter.drawPath(path);
    }
    // Markers centred on the curve at every unit of X, hollow or filled.
    void markers(const Function& f, QColor ink, bool filled, double from = 0.5, double to = 9.5)
    {
        painter.setPen(QPen(ink, 1.5));
        painter.setBrush(filled ? QBrush(ink) : QBrush(Qt::white));
        for (double x = from; x <= to + 1e-9; x += 1) painter.drawEllipse(centre(at(x, f(x))), 5.5, 5.5);
        painter.setBrush(Qt::NoBrush);
    }
    // Letters' strokes, drawn without a font so that no display is needed:
    // an outline and a diagonal per letter, 7 pixels apart.
    void label(QPointF topLeft, int letters)
    {
        painter.setPen(QPen(Qt::black, 1.3));
        for (int i = 0; i < letters; ++i) {
            const QRectF letter(topLeft + QPointF(7.0 * i, 0), QSizeF(5, 9));
            painter.drawRect(letter);
            painter.drawLine(letter.topLeft(), letter.bottomRight());
        }
    }
    QImage area()
    {
        painter.end();
        return image::composeDrawingArea(image);
    }
};

struct Figures {
    double worst = 0;           // % of full scale
    double within = 0;          // share of points within 0.5 %
    double worstAtMarkers = 0;  // rows from the centre of a marker at X 0.5, 1.5, ..., in its column
    double firstX = NAN, lastX = NAN;
    std::size_t points = 0;
};

// Digitizes the curve whose ink is taken at graph X `clickX` on `f`.
Figures read(QImage area, const Function& f, double clickX, double from = 0, double to = 10)
{
    const References refs{float(kLeft), float(kBottom),         float(kRight), float(kTop), 0, 0, 10,
                          100,          ScaleMode::LinearLinear};
    const QPointF click = at(clickX, f(clickX));
    const image::PixelView view = image::pixelViewOf(area);
    const CurveColour colour = curveColourAt(view, int(click.x()), int(click.y()));
    const DigitizeOutcome run = digitize(view, refs, colour);
    EXPECT_TRUE(run.ok()) << run.refusal;
    Figures figures;
    std::size_t near = 0;
    for (const DigitizedPoint& p : run.points) {
        const double column = kLeft + p.x * (kRight - kLeft) / 10;
        const double marker = std::floor(p.x) + 0.5, markerColumn = kLeft + marker * (kRight - kLeft) / 10;
        if (std::fabs(column - markerColumn) < 0.5)
            figures.worstAtMarkers =
                std::max(figures.worstAtMarkers, std::fabs(p.pixelRow - at(marker, f(marker)).y()));
        if (p.x < from || p.x > to) continue;
        const double error = std::fabs(p.y - f(p.x));
        figures.worst = std::max(figures.worst, error);
        near += error <= 0.5;
        ++figures.points;
    }
    if (!run.points.empty()) {
        figures.firstX = run.points.front().x;
        figures.lastX = run.points.back().x;
    }
    figures.within = figures.points ? double(near) / double(figures.points) : 0;
    return figures;
}

double wave(double x)
{
    return 50 + 30 * std::sin(x * 0.9);
}

TEST(LineStyles, AGridAndFrameInTheCurvesInkAreNotTheCurve)
{
    Page page;
    page.grid(Qt::black, QColor(150, 150, 150));
    page.frame(Qt::black);
    page.curve(wave, Qt::black);
    const Figures f = read(page.area(), wave, 2.7);
    EXPECT_LE(f.worst, 1.0);
    EXPECT_GE(f.within, 0.95);
}

TEST(LineStyles, ADashedCurveCrossingASolidOneOfTheSameInkStaysOnItself)
{
    const Function solid = [](double x) { return 20 + 6 * x; };
    const Function dashed = [](double x) { return 85 - 5 * x; };
    Page page;
    page.frame(Qt::black);
    page.curve(solid, Qt::black);
    page.curve(dashed, Qt::black, 0, 10, Qt::DashLine);
    const Figures f = read(page.area(), dashed, 1.15);
    EXPECT_LE(f.worst, 1.0);
    EXPECT_GE(f.within, 0.95);
}

// Data points at every unit of X from 0.5, joined by straight lines, as
// plotting programs join the points they mark.
double polyline(double x)
{
    const double a = std::clamp(std::floor(x - 0.5) + 0.5, 0.5, 8.5), t = x - a;
    return wave(a) + (wave(a + 1) - wave(a)) * t;
}

TEST(LineStyles, AtAMarkerThePointLiesOnTheLinesCentre)
{
    for (const bool filled : {false, true}) {
        Page page;
        page.frame(Qt::black);
        page.curve(polyline, QColor(30, 60, 200), 0.5, 9.5);
        page.markers(wave, QColor(30, 60, 200), filled);
        const QImage area = page.area();
        const Figures f = read(area, polyline, 2.0, 0.5, 9.5);
        EXPECT_LE(f.worst, 1.0) << (filled ? "filled" : "hollow");
        EXPECT_GE(f.within, 0.95) << (filled ? "filled" : "hollow");
        EXPECT_LE(f.worstAtMarkers, 0.5) << (filled ? "filled" : "hollow");
        if (!filled) continue;
        // Clicked on a marker itself, the whole line from its first data
        // point to its last.
        const Figures onMarker = read(area, polyline, 2.5, 0.5, 9.5);
        EXPECT_NEAR(onMarker.firstX, 0.5, 0.05);
        EXPECT_NEAR(onMarker.lastX, 9.5, 0.05);
        EXPECT_LE(onMarker.worstAtMarkers, 0.5);
    }
}

TEST(LineStyles, ACurveStartsAndEndsInsideTheFrame)
{
    Page page;
    page.frame(Qt::black);
    page.curve(wave, QColor(200, 30, 30), 2, 8);
    page.markers(wave, QColor(200, 30, 30), false, 2, 8);
    const Figures f = read(page.area(), wave, 4.5, 2, 8);
    EXPECT_NEAR(f.firstX, 2.0, 0.1);
    EXPECT_NEAR(f.lastX, 8.0, 0.1);
    EXPECT_LE(f.worst, 1.0);
}

// A black curve that runs along just under a black legend box, touching
// its bottom side, and on to the frame's side and its ticks.
double underTheLegend(double x)
{
    return 84.2 - 0.4 * (x - 8.2) * (x - 8.2);
}

TEST(LineStyles, ABlackCurveAmongBlackTicksLabelsAndALegendSample)
{
    Page page;
    page.frame(Qt::black);
    page.curve(underTheLegend, Qt::black);
    // A legend box with its line sample and label, and a label under the
    // curve, inside the plot.
    page.painter.setPen(QPen(Qt::black, 1));
    page.painter.drawRect(QRectF(at(6.5, 98), at(9.8, 84.6)));
    page.painter.setPen(QPen(Qt::black, 1.5));
    page.painter.drawLine(at(6.8, 92), at(7.8, 92));
    page.label(at(8.0, 94.5), 4);
    page.label(at(1.5, 40), 16);
    const Figures f = read(page.area(), underTheLegend, 2.7);
    EXPECT_LE(f.worst, 1.0);
    EXPECT_GE(f.within, 0.95);
}

}  // namespace
}  // namespace vastrel::digitize
