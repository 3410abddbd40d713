// Finding the frame's other two corners from the start and end points, on
// frames drawn through a known tilt or keystone, with the marks a real graph
// puts on and across them.

#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/FrameCorners.h"
#include "engine/image/DrawingArea.h"

#include <QPainter>
#include <QTransform>
#include <gtest/gtest.h>

#include <cmath>

namespace vastrel::digitize {
namespace {

// A 600 x 400 frame from (100, 500) with ticks inside and out, grid lines
// meeting it, a curve crossing its bottom and right sides, and a legend box
// lying over its top side, drawn through `page`.
QImage framedPage(const QTransform& page, double penWidth)
{
    QImage image(1000, 800, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(QTransform::fromTranslate(100, 500) * page);
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    for (int i = 1; i < 6; ++i) painter.drawLine(QPointF(i * 100.0, 0), QPointF(i * 100.0, -400));
    painter.setPen(QPen(Qt::black, penWidth));
    painter.drawRect(QRectF(0, -400, 600, 400));
    for (int i = 1; i < 12; ++i) {
        painter.drawLine(QPointF(i * 50.0, -6), QPointF(i * 50.0, 6));
        painter.drawLine(QPointF(-6, -i * 33.0), QPointF(0, -i * 33.0));
    }
    painter.setPen(QPen(QColor(30, 30, 160), 2));
    painter.drawLine(QPointF(250, 30), QPointF(330, -60));     // down through the bottom side
    painter.drawLine(QPointF(560, -200), QPointF(640, -260));  // out through the right side
    painter.fillRect(QRectF(380, -420, 150, 60), QColor(250, 250, 250));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(QRectF(380, -420, 150, 60));
    return image::composeDrawingArea(image);
}

QPointF mapped(const QTransform& page, double x, double y)
{
    return (QTransform::fromTranslate(100, 500) * page).map(QPointF(x, y));
}

void expectCornersFound(const QTransform& page, double penWidth)
{
    const QImage picture = framedPage(page, penWidth);
    // The start and end points clicked a pixel or two off the corners.
    const QPointF ll = mapped(page, 0, 0) + QPointF(1.4, -0.8), ur = mapped(page, 600, -400) + QPointF(-1.2, 1.6);
    const auto found = findFrameCorners(image::pixelViewOf(picture), {ll.x(), ll.y()}, {ur.x(), ur.y()});
    ASSERT_TRUE(std::holds_alternative<FrameCorners>(found)) << std::get<std::string>(found);
    const FrameCorners corners = std::get<FrameCorners>(found);
    const QPointF ul = mapped(page, 0, -400), lr = mapped(page, 600, 0);
    // The pixel centres stand at whole positions: a line drawn at x covers
    // x - 0.5 .. x + 0.5, half of pixel x - 1 and half of pixel x. On a clean
    // drawing the corners come out far closer than the half pixel asked of scans.
    EXPECT_NEAR(corners.upperLeft.x, ul.x() - 0.5, 0.1);
    EXPECT_NEAR(corners.upperLeft.y, ul.y() - 0.5, 0.1);
    EXPECT_NEAR(corners.lowerRight.x, lr.x() - 0.5, 0.1);
    EXPECT_NEAR(corners.lowerRight.y, lr.y() - 0.5, 0.1);
}

TEST(FrameCorners, FoundOnSquareTiltedAndKeystonedFrames)
{
    for (const double width : {1.0, 1.5, 2.0}) {
        expectCornersFound(QTransform(), width);
        for (const double degrees : {-3.0, -1.0, 0.5, 2.0}) expectCornersFound(QTransform().rotate(degrees), width);
        QTransform keystone;
        QTransform::quadToQuad(QPolygonF({{0, 0}, {600, 0}, {600, -400}, {0, -400}}),
                               QPolygonF({{0, 0}, {606, 10}, {570, -378}, {24, -390}}), keystone);
        expectCornersFound(keystone, width);
    }
}

TEST(FrameCorners, NoFrameNoCorners)
{
    QImage blank(1000, 800, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const QImage area = image::composeDrawingArea(blank);
    // Only the two axes through the start point, as some programs draw them.
    QImage axes = blank;
    QPainter painter(&axes);
    painter.drawLine(100, 500, 700, 500);
    painter.drawLine(100, 100, 100, 500);
    painter.end();
    for (const QImage& picture : {area, image::composeDrawingArea(axes)}) {
        const auto found = findFrameCorners(image::pixelViewOf(picture), {100, 500}, {700, 100});
        ASSERT_TRUE(std::holds_alternative<std::string>(found));
        EXPECT_EQ(std::get<std::string>(found), msg::kNoFrame);
    }
}

}  // namespace
}  // namespace vastrel::digitize
