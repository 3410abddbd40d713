// Scatter markers found by the one clicked: every shape plotting programs
// draw, hollow and filled, drawn here with smoothing at places off the pixel
// grid, with the places known; a line of the markers' ink through them, a
// legend's line sample and letters beside them.

#include "engine/digitize/ScatterMarkers.h"
#include "engine/image/DrawingArea.h"

#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace vastrel::digitize {
namespace {

enum class Shape { Circle, Square, Triangle, CrossX, CrossPlus };

struct Kind {
    Shape shape;
    bool filled;
    const char* name;
};

const std::vector<Kind> kKinds = {
    {Shape::Circle, false, "hollow circle"},     {Shape::Circle, true, "filled circle"},
    {Shape::Square, false, "hollow square"},     {Shape::Square, true, "filled square"},
    {Shape::Triangle, false, "hollow triangle"}, {Shape::Triangle, true, "filled triangle"},
    {Shape::CrossX, false, "x cross"},           {Shape::CrossPlus, false, "plus cross"},
};

const PixelArea kArea{60, 40, 740, 560};

struct Page {
    QImage image{800, 600, QImage::Format_RGB32};
    QPainter painter;
    QColor ink;

    explicit Page(QColor colour = QColor(20, 40, 160)) : ink(colour)
    {
        image.fill(Qt::white);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing);
    }
    // A marker `radius` from its centre to its outline, centred on pixel
    // position `at` (QPainter's pixel k spans k .. k + 1, its centre at k + 0.5).
    void marker(const Kind& kind, QPointF at, double radius = 6.0)
    {
        const QPointF c = at + QPointF(0.5, 0.5);
        painter.setPen(QPen(ink, 1.5));
        painter.setBrush(kind.filled ? QBrush(ink) : QBrush(Qt::NoBrush));
        switch (kind.shape) {
        case Shape::Circle: painter.drawEllipse(c, radius, radius); break;
        case Shape::Square: painter.drawRect(QRectF(c - QPointF(radius, radius), c + QPointF(radius, radius))); break;
        case Shape::Triangle: {
            // Equilateral, its centroid on the point as plotting programs centre it.
            const double r = radius * 1.25;
            QPainterPath path;
            path.moveTo(c + QPointF(0, -r));
            path.lineTo(c + QPointF(r * 0.866, r * 0.5));
            path.lineTo(c + QPointF(-r * 0.866, r * 0.5));
            path.closeSubpath();
            painter.drawPath(path);
            break;
        }
        case Shape::CrossX:
            painter.drawLine(c + QPointF(-radius, -radius), c + QPointF(radius, radius));
            painter.drawLine(c + QPointF(-radius, radius), c + QPointF(radius, -radius));
            break;
        case Shape::CrossPlus:
            painter.drawLine(c + QPointF(-radius, 0), c + QPointF(radius, 0));
            painter.drawLine(c + QPointF(0, -radius), c + QPointF(0, radius));
            break;
        }
        painter.setBrush(Qt::NoBrush);
    }
    void line(const std::vector<QPointF>& through, double width)
    {
        QPainterPath path;
        path.moveTo(through.front() + QPointF(0.5, 0.5));
        for (const QPointF& p : through) path.lineTo(p + QPointF(0.5, 0.5));
        painter.setPen(QPen(ink, width));
        painter.drawPath(path);
    }
    image::PixelView view()
    {
        if (painter.isActive()) {
            painter.end();
            area = image::composeDrawingArea(image);
        }
        return image::pixelViewOf(area);
    }
    QImage area;
};

// Scattered places off the pixel grid, none nearer another than 40 pixels.
std::vector<QPointF> scattered(int count)
{
    std::vector<QPointF> points;
    for (int i = 0; i < count; ++i)
        points.emplace_back(100.0 + 43.37 * i, 300.0 + 150.0 * std::sin(0.9 * i) + 0.31 * (i % 3));
    return points;
}

// The worst distance from a drawn centre to the nearest found one, and how
// many found ones lie near no drawn centre.
struct Comparison {
    double worst = 0;
    int missed = 0;
    int extra = 0;
};

Comparison compare(const MarkerSearch& search, const std::vector<QPointF>& drawn)
{
    Comparison c;
    std::vector<int> used(search.centres.size(), 0);
    for (const QPointF& p : drawn) {
        double nearest = 1e9;
        std::size_t which = 0;
        for (std::size_t k = 0; k < search.centres.size(); ++k) {
            const double d = std::hypot(search.centres[k].column - p.x(), search.centres[k].row - p.y());
            if (d < nearest) nearest = d, which = k;
        }
        if (nearest > 3.0) {
            ++c.missed;
            continue;
        }
        used[which] = 1;
        c.worst = std::max(c.worst, nearest);
    }
    for (const int u : used) c.extra += !u;
    return c;
}

// A pixel of the marker at `at` that is full ink: its outline for a hollow
// one, whose middle is paper.
QPoint inkOf(const Kind& kind, QPointF at, double radius = 6.0)
{
    const int x = int(std::lround(at.x())), y = int(std::lround(at.y()));
    if (kind.filled || kind.shape == Shape::CrossX || kind.shape == Shape::CrossPlus) return {x, y};
    return {x, int(std::lround(at.y() + (kind.shape == Shape::Triangle ? 0.625 : 1.0) * radius))};
}

TEST(ScatterMarkers, EveryShapeIsFoundAtItsCentreAndNothingElse)
{
    const std::vector<QPointF> points = scattered(15);
    for (const Kind& kind : kKinds) {
        Page page;
        for (const QPointF& p : points) page.marker(kind, p);
        const QPoint click = inkOf(kind, points[4]);
        const MarkerSearch search = findScatterMarkers(page.view(), kArea, click.x(), click.y());
        ASSERT_TRUE(search.ok()) << kind.name << ": " << search.refusal;
        const Comparison c = compare(search, points);
        EXPECT_EQ(c.missed, 0) << kind.name;
        EXPECT_EQ(c.extra, 0) << kind.name;
        EXPECT_LE(c.worst, 0.5) << kind.name;
        EXPECT_NEAR(search.size, 13.0, 3.0) << kind.name;
        for (std::size_t k = 1; k < search.centres.size(); ++k)
            EXPECT_LT(search.centres[k - 1].column, search.centres[k].column) << kind.name;
    }
}

TEST(ScatterMarkers, ALineOfTheMarkersInkThroughThemIsNoMarker)
{
    const std::vector<QPointF> points = scattered(15);
    const std::vector<std::pair<Kind, double>> cases = {
        {kKinds[1], 1.0}, {kKinds[1], 2.5}, {kKinds[2], 1.0}, {kKinds[5], 1.0}};
    for (const auto& [kind, width] : cases) {
        {
            Page page;
            page.line(points, width);
            for (const QPointF& p : points) page.marker(kind, p);
            // Clicked on a marker the line runs through.
            const QPoint click = inkOf(kind, points[6]);
            const MarkerSearch search = findScatterMarkers(page.view(), kArea, click.x(), click.y());
            ASSERT_TRUE(search.ok()) << kind.name << " " << width << ": " << search.refusal;
            const Comparison c = compare(search, points);
            EXPECT_EQ(c.missed, 0) << kind.name << " " << width;
            EXPECT_EQ(c.extra, 0) << kind.name << " " << width;
            EXPECT_LE(c.worst, 0.5) << kind.name << " " << width;
        }
    }
}

TEST(ScatterMarkers, ALegendsLineSampleAndLettersInTheInkAreNoMarkers)
{
    const std::vector<QPointF> points = scattered(12);
    for (const Kind& kind : {kKinds[0], kKinds[1]}) {
        Page page(Qt::black);
        for (const QPointF& p : points) page.marker(kind, p);
        // A boxed legend with a line sample, and a label of letters: small
        // rings like an 'o' and strokes.
        page.painter.setPen(QPen(Qt::black, 1.0));
        page.painter.drawRect(QRectF(560.5, 60.5, 150, 40));
        page.line({{575, 80}, {615, 80}}, 2.0);
        page.painter.setPen(QPen(Qt::black, 1.3));
        for (int i = 0; i < 6; ++i) {
            const QPointF at(150.5 + 9.0 * i, 520.5);
            if (i % 2)
                page.painter.drawEllipse(at, 3.0, 3.5);
            else
                page.painter.drawLine(at + QPointF(-3, -7), at + QPointF(3, 4));
        }
        const QPoint click = inkOf(kind, points[2]);
        const MarkerSearch search = findScatterMarkers(page.view(), kArea, click.x(), click.y());
        ASSERT_TRUE(search.ok()) << search.refusal;
        const Comparison c = compare(search, points);
        EXPECT_EQ(c.missed, 0) << kind.name;
        EXPECT_EQ(c.extra, 0) << kind.name;
    }
}

// The scattered places with a partner overlapping each of four of them,
// 0.5 to 1 marker widths off in four directions; the partners' places last.
std::vector<QPointF> withPartners(std::vector<QPointF> points, double width)
{
    const double shares[] = {0.5, 0.65, 0.8, 1.0};
    for (int k = 0; k < 4; ++k) {
        const double angle = 0.4 + 1.7 * k;
        points.push_back(points[std::size_t(3 * k + 1)] +
                         shares[k] * width * QPointF(std::cos(angle), std::sin(angle)));
    }
    return points;
}

TEST(ScatterMarkers, OverlappingMarkersAreTwoEachAtItsOwnCentre)
{
    for (const Kind& kind : {kKinds[0], kKinds[1], kKinds[3]}) {
        const std::vector<QPointF> points = withPartners(scattered(14), 13.0);
        Page page;
        for (const QPointF& p : points) page.marker(kind, p);
        const QPoint click = inkOf(kind, points[6]);
        const MarkerSearch search = findScatterMarkers(page.view(), kArea, click.x(), click.y());
        ASSERT_TRUE(search.ok()) << kind.name << ": " << search.refusal;
        const Comparison c = compare(search, points);
        EXPECT_EQ(search.centres.size(), points.size()) << kind.name;
        EXPECT_EQ(c.missed, 0) << kind.name;
        EXPECT_EQ(c.extra, 0) << kind.name;
        EXPECT_LE(c.worst, 0.5) << kind.name;
    }
}

// A pixel of the outline of the hollow marker at `at`, of radius `radius`,
// as far from the line through `through` as any of its top, bottom, left
// and right.
QPoint outlineAwayFrom(QPointF at, double radius, const std::vector<QPointF>& through)
{
    const auto distance = [&](QPointF p) {
        double nearest = 1e9;
        for (std::size_t k = 1; k < through.size(); ++k) {
            const QPointF a = through[k - 1], d = through[k] - a;
            const double t = std::clamp(QPointF::dotProduct(p - a, d) / QPointF::dotProduct(d, d), 0.0, 1.0);
            const QPointF q = a + t * d;
            nearest = std::min(nearest, std::hypot(p.x() - q.x(), p.y() - q.y()));
        }
        return nearest;
    };
    QPointF best = at;
    for (const QPointF side : {QPointF(0, 1), QPointF(0, -1), QPointF(1, 0), QPointF(-1, 0)})
        if (distance(at + radius * side) > distance(best)) best = at + radius * side;
    return {int(std::lround(best.x())), int(std::lround(best.y()))};
}

TEST(ScatterMarkers, AThickLineThroughSmallHollowMarkersIsNoMarker)
{
    // The line nearly half as thick as the markers' inside, ending in the
    // first and the last marker.
    const std::vector<QPointF> points = scattered(15);
    for (const Kind& kind : {kKinds[0], kKinds[2]}) {
        Page page;
        page.line(points, 2.5);
        for (const QPointF& p : points) page.marker(kind, p, 6.0);
        const QPoint click = outlineAwayFrom(points[6], 6.0, points);
        const MarkerSearch search = findScatterMarkers(page.view(), kArea, click.x(), click.y());
        ASSERT_TRUE(search.ok()) << kind.name << ": " << search.refusal;
        const Comparison c = compare(search, points);
        EXPECT_EQ(c.missed, 0) << kind.name;
        EXPECT_EQ(c.extra, 0) << kind.name;
        EXPECT_LE(c.worst, 0.5) << kind.name;
    }
}

TEST(ScatterMarkers, ABoxedLegendsSampleIsNoMarkerAndAGridsCellsHideNone)
{
    const std::vector<QPointF> points = scattered(15);
    for (const Kind& kind : {kKinds[2], kKinds[1]}) {
        Page page;
        // Dark grid lines make closed boxes around the markers too, but run
        // on past their corners.
        page.painter.setPen(QPen(QColor(90, 90, 90), 1.0));
        for (int x = 100; x < 740; x += 90) page.painter.drawLine(QPointF(x + 0.5, 40), QPointF(x + 0.5, 560));
        for (int y = 80; y < 560; y += 90) page.painter.drawLine(QPointF(60, y + 0.5), QPointF(740, y + 0.5));
        for (const QPointF& p : points) page.marker(kind, p);
        // The legend: a white box, the series' sample (a marker on a short
        // line) and its name's letters.
        page.painter.setPen(QPen(Qt::black, 1.0));
        page.painter.setBrush(Qt::white);
        page.painter.drawRect(QRectF(570.5, 470.5, 150, 40));
        page.painter.setBrush(Qt::NoBrush);
        page.line({{580, 490}, {620, 490}}, 1.5);
        page.marker(kind, QPointF(600, 490));
        page.painter.setPen(QPen(Qt::black, 1.3));
        for (int i = 0; i < 7; ++i) {
            const QPointF at(634.5 + 9.0 * i, 490.5);
            if (i % 2)
                page.painter.drawEllipse(at, 3.0, 3.5);
            else
                page.painter.drawLine(at + QPointF(0, -7), at + QPointF(0, 4));
        }
        const QPoint click = inkOf(kind, points[2]);
        const MarkerSearch search = findScatterMarkers(page.view(), kArea, click.x(), click.y());
        ASSERT_TRUE(search.ok()) << kind.name << ": " << search.refusal;
        const Comparison c = compare(search, points);
        EXPECT_EQ(c.missed, 0) << kind.name;
        EXPECT_EQ(c.extra, 0) << kind.name;
    }
}

TEST(ScatterMarkers, TheFrameAndItsTicksInTheMarkersInkAreNoMarkers)
{
    // A plus is a tick on a side less one arm, a hollow square a corner less
    // two sides.
    const std::vector<QPointF> points = scattered(15);
    for (const Kind& kind : {kKinds[7], kKinds[2]}) {
        Page page(Qt::black);
        page.painter.setPen(QPen(Qt::black, 1.0));
        page.painter.drawRect(QRectF(60.5, 40.5, 680, 520));
        for (int x = 60; x <= 740; x += 50) {
            page.painter.drawLine(QPointF(x + 0.5, 40), QPointF(x + 0.5, 47));
            page.painter.drawLine(QPointF(x + 0.5, 560), QPointF(x + 0.5, 553));
        }
        for (int y = 40; y <= 560; y += 50) {
            page.painter.drawLine(QPointF(60, y + 0.5), QPointF(67, y + 0.5));
            page.painter.drawLine(QPointF(740, y + 0.5), QPointF(733, y + 0.5));
        }
        for (const QPointF& p : points) page.marker(kind, p);
        const QPoint click = inkOf(kind, points[4]);
        const MarkerSearch search = findScatterMarkers(page.view(), kArea, click.x(), click.y());
        ASSERT_TRUE(search.ok()) << kind.name << ": " << search.refusal;
        const Comparison c = compare(search, points);
        EXPECT_EQ(c.missed, 0) << kind.name;
        EXPECT_EQ(c.extra, 0) << kind.name;
    }
}

TEST(ScatterMarkers, OnlyTheAreaIsSearchedAndAClickOffAMarkerIsRefused)
{
    Page page;
    const std::vector<QPointF> points = scattered(15);
    for (const QPointF& p : points) page.marker(kKinds[1], p);
    const image::PixelView view = page.view();
    const PixelArea left{60, 40, 400, 560};
    const MarkerSearch search = findScatterMarkers(view, left, int(points[1].x()), int(points[1].y()));
    ASSERT_TRUE(search.ok()) << search.refusal;
    for (const MarkerPoint& m : search.centres) EXPECT_LE(m.column, 400.5);
    EXPECT_EQ(search.centres.size(),
              std::size_t(std::count_if(points.begin(), points.end(), [](QPointF p) { return p.x() <= 400; })));

    EXPECT_FALSE(findScatterMarkers(view, kArea, 300, 30).ok());                          // outside the area
    EXPECT_FALSE(findScatterMarkers(view, kArea, 80, 100).ok());                          // on the paper
    EXPECT_FALSE(findScatterMarkers(view, PixelArea{500, 40, 400, 560}, 450, 100).ok());  // an empty area
}

}  // namespace
}  // namespace vastrel::digitize
