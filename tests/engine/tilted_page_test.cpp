// Pages scanned crooked and photographed at an angle, drawn here through a
// known mapping, digitized with their four frame corners as reference points:
// the points must follow the plotted function along the graph's own axes.

#include "engine/digitize/DigitizeRun.h"
#include "engine/image/DrawingArea.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vastrel::digitize {
namespace {

// The graph: X 0 .. 10 and Y 0 .. 100 over a 600 x 400 frame, y = 50 + 40 sin x.
constexpr double kWidth = 600, kHeight = 400;
double curve(double x)
{
    return 50 + 40 * std::sin(x);
}

// The page drawn square at (100, 500), then through `page` onto the picture;
// the curve `inkWidth` wide, a hair without smoothing as some programs draw it.
QImage drawnPage(const QTransform& page, QColor ink, double inkWidth = 2.0)
{
    QImage image(1000, 800, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, inkWidth > 1.0);
    painter.setTransform(QTransform::fromTranslate(100, 500) * page);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawRect(QRectF(0, -kHeight, kWidth, kHeight));
    for (int i = 1; i < 10; ++i) painter.drawLine(QPointF(i * 60.0, 0), QPointF(i * 60.0, -8));  // ticks
    QPainterPath path;
    for (int i = 0; i <= 600; ++i) {
        const QPointF at(i, -curve(i / 60.0) * 4);
        i == 0 ? path.moveTo(at) : path.lineTo(at);
    }
    painter.setPen(QPen(ink, inkWidth));
    painter.drawPath(path);
    return image;
}

// The frame corner of graph values (x, y) in the picture.
QPointF corner(const QTransform& page, double x, double y)
{
    return (QTransform::fromTranslate(100, 500) * page).map(QPointF(x * 60, -y * 4));
}

struct Errors {
    double largest = 0;
    double within = 0;  // the share of points within 0.5 % of full scale
    std::size_t points = 0;
};

Errors digitizedWithCorners(const QTransform& page, std::optional<QColor> ink = std::nullopt, double inkWidth = 2.0)
{
    const QImage picture = image::composeDrawingArea(drawnPage(page, ink.value_or(QColor(20, 20, 140)), inkWidth));
    const QPointF start = corner(page, 0, 0), end = corner(page, 10, 100);
    const QPointF upperLeft = corner(page, 0, 100), lowerRight = corner(page, 10, 0);
    References refs;
    refs.startX = float(start.x());
    refs.startY = float(start.y());
    refs.endX = float(end.x());
    refs.endY = float(end.y());
    refs.x2 = 10;
    refs.y2 = 100;
    const std::vector<ReferencePoint> more{{upperLeft.x(), upperLeft.y(), 0, 100},
                                           {lowerRight.x(), lowerRight.y(), 10, 0}};
    std::optional<CurveColour> colour;
    if (ink) {
        const QPointF on = (QTransform::fromTranslate(100, 500) * page).map(QPointF(300, -curve(5) * 4));
        colour = curveColourAt(image::pixelViewOf(picture), int(on.x()), int(on.y()));
    }
    const DigitizeOutcome run = digitize(image::pixelViewOf(picture), refs, colour, more);
    EXPECT_TRUE(run.ok()) << run.refusal;
    Errors errors;
    std::size_t good = 0;
    for (const DigitizedPoint& p : run.points) {
        const double error = std::fabs(p.y - curve(p.x));  // of a full scale of 100
        errors.largest = std::max(errors.largest, error);
        good += error <= 0.5;
    }
    errors.points = run.points.size();
    errors.within = run.points.empty() ? 0 : double(good) / double(run.points.size());
    return errors;
}

// The darkest pixel takes a line's top edge, on a square page too: only its
// largest error is held to the mark; the colour rule's points all are.
TEST(TiltedPage, FourCornersReadATiltedPageAlongItsAxes)
{
    for (const double degrees : {0.0, 0.5, 1.5, 3.0, -2.0}) {
        const Errors dark = digitizedWithCorners(QTransform().rotate(-degrees));
        const Errors red = digitizedWithCorners(QTransform().rotate(-degrees), QColor(220, 30, 30));
        EXPECT_GT(dark.points, 560u) << degrees;
        EXPECT_LE(dark.largest, 1.0) << degrees << "°";
        EXPECT_LE(red.largest, 1.0) << degrees << "°";
        EXPECT_GE(red.within, 0.99) << degrees << "°";
    }
}

TEST(TiltedPage, FourCornersReadAKeystonedPhotograph)
{
    // The page's far edge 10 % shorter than its near one, and a little tilt.
    QTransform keystone;
    QTransform::quadToQuad(QPolygonF({{0, 0}, {600, 0}, {600, -400}, {0, -400}}),
                           QPolygonF({{0, 0}, {610, 8}, {560, -380}, {30, -392}}), keystone);
    const Errors dark = digitizedWithCorners(keystone);
    EXPECT_LE(dark.largest, 1.0);
    const Errors red = digitizedWithCorners(keystone, QColor(220, 30, 30));
    EXPECT_LE(red.largest, 1.0);
    EXPECT_GE(red.within, 0.99);
}

// Resampled half on the line and half on the paper, a one-pixel line would
// fade out of its colour's reach and the curve break up.
TEST(TiltedPage, AHairlineKeepsItsColourThroughTheResampling)
{
    const Errors hair = digitizedWithCorners(QTransform().rotate(-2.6), QColor(40, 40, 230), 1.0);
    EXPECT_GT(hair.points, 560u);
    EXPECT_LE(hair.largest, 1.0);
    EXPECT_GE(hair.within, 0.99);
}

TEST(TiltedPage, FourCornersOfASquarePageGiveTheTwoCornersResult)
{
    const QImage picture = image::composeDrawingArea(drawnPage(QTransform(), QColor(20, 20, 140)));
    const References refs{100, 500, 700, 100, 0, 0, 10, 100, ScaleMode::LinearLinear};
    const std::vector<ReferencePoint> corners{{100, 100, 0, 100}, {700, 500, 10, 0}};
    const DigitizeOutcome two = digitize(image::pixelViewOf(picture), refs);
    const DigitizeOutcome four = digitize(image::pixelViewOf(picture), refs, std::nullopt, corners);
    ASSERT_TRUE(four.ok()) << four.refusal;
    ASSERT_EQ(two.points.size(), four.points.size());
    for (std::size_t i = 0; i < two.points.size(); ++i) {
        EXPECT_EQ(two.points[i].pixelRow, four.points[i].pixelRow) << i;
        EXPECT_EQ(two.points[i].x, four.points[i].x) << i;
        EXPECT_EQ(two.points[i].y, four.points[i].y) << i;
    }
}

TEST(TiltedPage, TheTwoCornersAloneMissATiltOfTwoDegrees)
{
    // What the four corners mend: the same page read with the start and end points only.
    const QTransform page = QTransform().rotate(-2);
    const QImage picture = image::composeDrawingArea(drawnPage(page, QColor(20, 20, 140)));
    const QPointF start = corner(page, 0, 0), end = corner(page, 10, 100);
    const References refs{float(start.x()),       float(start.y()), float(end.x()), float(end.y()), 0, 0, 10, 100,
                          ScaleMode::LinearLinear};
    const DigitizeOutcome run = digitize(image::pixelViewOf(picture), refs);
    double largest = 0;
    for (const DigitizedPoint& p : run.points) largest = std::max(largest, std::fabs(p.y - curve(p.x)));
    EXPECT_GT(largest, 3.0);
}

}  // namespace
}  // namespace vastrel::digitize
