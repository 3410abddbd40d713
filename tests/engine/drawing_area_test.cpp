// The surface the scan reads, built without any window: the picture over the
// grey background, and erased rectangles.

#include "engine/image/DrawingArea.h"
#include "engine/image/Erasing.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace vastrel::image {
namespace {

QImage filled(QSize size, QRgb argb, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(size, format);
    image.fill(argb);
    return image;
}

TEST(DrawingArea, PictureSitsAtTheTopLeftOnTheGreyBackground)
{
    QImage picture = filled({30, 20}, 0xFF0000FFu);
    picture.setPixel(5, 6, 0x00FFFFFFu);  // transparent: the background shows
    const QImage area = composeDrawingArea(picture);
    ASSERT_EQ(area.size(), kDrawingAreaSize);
    EXPECT_EQ(area.format(), QImage::Format_RGB32);
    const PixelView view = pixelViewOf(area);
    EXPECT_EQ(view.point(0, 0), 0xFF0000);  // &H00BBGGRR of pure blue
    EXPECT_EQ(view.point(29, 19), 0xFF0000);
    EXPECT_EQ(view.point(5, 6), 0xC0C0C0);
    EXPECT_EQ(view.point(30, 0), 0xC0C0C0);
    EXPECT_EQ(view.point(0, 20), 0xC0C0C0);
    EXPECT_EQ(view.point(1004, 804), 0xC0C0C0);
    EXPECT_EQ(view.point(1005, 0), -1);
}

TEST(DrawingArea, NoPictureIsTheBareBackground)
{
    const QImage area = composeDrawingArea(QImage(), {4, 3}, 0xFF102030u);
    EXPECT_EQ(pixelViewOf(area).point(3, 2), 0x302010);
}

TEST(DrawingArea, AReusedSurfaceKeepsNothingOfThePictureBefore)
{
    QImage surface = filled({7, 7}, 0xFF123456u, QImage::Format_ARGB32);  // remade: wrong size and format
    composeDrawingAreaInto(surface, filled({1000, 800}, 0xFF000000u));
    const QImage first = surface;  // a copy taken by someone else stays as it was
    QImage second = filled({30, 20}, 0x80FF0000u);
    second.setPixel(0, 0, 0x00000000u);
    composeDrawingAreaInto(surface, second);
    EXPECT_EQ(surface, composeDrawingArea(second));
    EXPECT_EQ(pixelViewOf(surface).point(0, 0), 0xC0C0C0);
    EXPECT_EQ(pixelViewOf(surface).point(500, 500), 0xC0C0C0);
    EXPECT_EQ(pixelViewOf(first).point(500, 500), 0x000000);
    composeDrawingAreaInto(surface, QImage(), {4, 3}, 0xFF102030u);
    EXPECT_EQ(surface, composeDrawingArea(QImage(), {4, 3}, 0xFF102030u));
}

// Background first, then the picture over it: what the area must show.
QImage paintedOver(const QImage& picture, QSize area)
{
    QImage expected = filled(area, kDrawingAreaBackground, QImage::Format_RGB32);
    QPainter(&expected).drawImage(0, 0, picture);
    return expected;
}

TEST(DrawingArea, OpaquePicturesOfEveryShapeOnAReusedSurface)
{
    QImage surface;
    composeDrawingAreaInto(surface, filled({1005, 805}, 0xFF000000u, QImage::Format_RGB32));
    QImage indexed = filled({1200, 300}, 0xFF00FF00u, QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8);
    for (const QImage& picture :
         {filled({1000, 800}, 0xFF0000FFu, QImage::Format_RGB32), filled({30, 900}, 0xFF808080u, QImage::Format_RGB888),
          indexed, filled({1005, 805}, 0xFFFFFFFFu, QImage::Format_RGB32)}) {
        composeDrawingAreaInto(surface, picture);
        EXPECT_EQ(surface, paintedOver(picture, kDrawingAreaSize)) << picture.size().width() << " wide";
    }
}

TEST(Erasing, CornersAreIncludedWhicheverComesFirst)
{
    EXPECT_EQ(rectangleBetween({10, 8}, {4, 2}), QRect(QPoint(4, 2), QPoint(10, 8)));
    EXPECT_EQ(rectangleBetween({3, 3}, {3, 3}), QRect(3, 3, 1, 1));
}

TEST(Erasing, PaintsWhiteClippedToTheArea)
{
    QImage area = composeDrawingArea(filled({20, 20}, 0xFF000000u), {40, 30});
    const QRect painted = eraseRectangle(area, rectangleBetween({15, 25}, {-5, 10}));
    EXPECT_EQ(painted, QRect(QPoint(0, 10), QPoint(15, 25)));
    const PixelView view = pixelViewOf(area);
    EXPECT_EQ(view.point(0, 10), 0xFFFFFF);
    EXPECT_EQ(view.point(15, 25), 0xFFFFFF);  // beyond the picture the grey is erased too
    EXPECT_EQ(view.point(16, 12), 0x000000);
    EXPECT_EQ(view.point(0, 9), 0x000000);
    EXPECT_EQ(view.point(15, 26), 0xC0C0C0);
}

TEST(Erasing, ARectangleOutsideTheAreaChangesNothing)
{
    QImage area = composeDrawingArea(QImage(), {10, 10});
    const QImage before = area;
    EXPECT_TRUE(eraseRectangle(area, QRect(20, 20, 5, 5)).isEmpty());
    EXPECT_EQ(area, before);
}

}  // namespace
}  // namespace vastrel::image
