// Erasing step by step and taking the steps back, and finding the image in
// what is dropped or pasted.

#include "engine/image/DrawingArea.h"
#include "engine/image/EraseHistory.h"
#include "engine/image/ImageSource.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace vastrel::image {
namespace {

// A drawing area whose every pixel differs from its neighbours, so that a
// pixel put back in the wrong place shows.
QImage patternedArea()
{
    QImage area(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) area.setPixel(x, y, qRgb(x * 4, y * 6, (x * y) % 256));
    return area;
}

TEST(EraseHistory, UndoGoesBackStepByStepToTheFirstImage)
{
    const QImage original = patternedArea();
    QImage area = original;
    EraseHistory history;
    EXPECT_FALSE(history.canUndo());

    EXPECT_EQ(history.erase(area, QRect(QPoint(5, 5), QPoint(20, 15))), QRect(QPoint(5, 5), QPoint(20, 15)));
    const QImage afterFirst = area;
    // Overlapping the first step, and reaching out of the area on the right.
    EXPECT_EQ(history.erase(area, QRect(QPoint(10, 10), QPoint(80, 30))), QRect(QPoint(10, 10), QPoint(59, 30)));
    EXPECT_EQ(history.size(), 2u);
    EXPECT_EQ(area.pixel(59, 30), qRgb(255, 255, 255));
    EXPECT_EQ(area.pixel(9, 31), original.pixel(9, 31));

    EXPECT_EQ(history.undo(area), QRect(QPoint(10, 10), QPoint(59, 30)));
    EXPECT_EQ(area, afterFirst);
    EXPECT_EQ(history.undo(area), QRect(QPoint(5, 5), QPoint(20, 15)));
    EXPECT_EQ(area, original);
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.undo(area).isEmpty());
    EXPECT_EQ(area, original);
}

TEST(EraseHistory, ARectangleOutsideIsNoStepAndClearForgetsAll)
{
    QImage area = patternedArea();
    EraseHistory history;
    EXPECT_TRUE(history.erase(area, QRect(70, 0, 5, 5)).isEmpty());
    EXPECT_FALSE(history.canUndo());
    history.erase(area, QRect(0, 0, 3, 3));
    history.erase(area, QRect(0, 0, 60, 40));
    history.clear();
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.undo(area).isEmpty());
    EXPECT_EQ(area.pixel(30, 30), qRgb(255, 255, 255));
}

TEST(ImageSource, ALocalFileComesBeforeImageBytes)
{
    QMimeData data;
    data.setData(QStringLiteral("image/png"), QByteArrayLiteral("png bytes"));
    data.setUrls({QUrl(QStringLiteral("https://example.org/graph.png")), QUrl::fromLocalFile("/tmp/a.png"),
                  QUrl::fromLocalFile("/tmp/b.png")});
    EXPECT_TRUE(offersImage(data));
    const ImageSource source = imageSourceOf(data);
    ASSERT_TRUE(std::holds_alternative<ImageFile>(source));
    EXPECT_EQ(std::get<ImageFile>(source).path, QStringLiteral("/tmp/a.png"));
}

TEST(ImageSource, PngIsPreferredThenAnyOtherImageFormat)
{
    QMimeData data;
    data.setData(QStringLiteral("image/x-exotic"), QByteArrayLiteral("exotic"));
    data.setData(QStringLiteral("image/bmp"), QByteArrayLiteral("bmp"));
    data.setData(QStringLiteral("image/png"), QByteArrayLiteral("png"));
    data.setUrls({QUrl(QStringLiteral("https://example.org/graph.png"))});
    ImageSource source = imageSourceOf(data);
    ASSERT_TRUE(std::holds_alternative<ImageBytes>(source));
    EXPECT_EQ(std::get<ImageBytes>(source).bytes, QByteArrayLiteral("png"));
    EXPECT_EQ(std::get<ImageBytes>(source).mimeType, QStringLiteral("image/png"));

    QMimeData exotic;
    exotic.setText(QStringLiteral("a caption"));
    exotic.setData(QStringLiteral("image/x-exotic"), QByteArrayLiteral("exotic"));
    source = imageSourceOf(exotic);
    ASSERT_TRUE(std::holds_alternative<ImageBytes>(source));
    EXPECT_EQ(std::get<ImageBytes>(source).mimeType, QStringLiteral("image/x-exotic"));
}

TEST(ImageSource, TextAndRemoteAddressesAreNoImage)
{
    QMimeData data;
    data.setText(QStringLiteral("/tmp/graph.png"));
    data.setUrls({QUrl(QStringLiteral("https://example.org/graph.png"))});
    EXPECT_FALSE(offersImage(data));
    EXPECT_TRUE(std::holds_alternative<NoImage>(imageSourceOf(data)));
    const QMimeData empty;
    EXPECT_TRUE(std::holds_alternative<NoImage>(imageSourceOf(empty)));
}

}  // namespace
}  // namespace vastrel::image
