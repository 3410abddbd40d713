// Erasing step by step and taking the steps back, and finding the image in
// what is dropped or pasted.

#include "engine/image/EraseHistory.h"
#include "engine/image/ImageSource.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace vastrel::image {
namespace {

TEST(EraseHistory, UndoGoesBackStepByStepToTheFirstImage)
{
    // Every pixel differs from its neighbours, so a pixel put back in the wrong place shows.
    QImage area(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) area.setPixel(x, y, qRgb(x * 4, y * 6, (x * y) % 256));
    const QImage original = area;
    EraseHistory history;
    EXPECT_TRUE(history.erase(area, QRect(70, 0, 5, 5)).isEmpty());  // wholly outside: no step
    EXPECT_FALSE(history.canUndo());

    history.erase(area, QRect(QPoint(5, 5), QPoint(20, 15)));
    const QImage afterFirst = area;
    EXPECT_EQ(history.erase(area, QRect(QPoint(10, 10), QPoint(80, 30))), QRect(QPoint(10, 10), QPoint(59, 30)));
    EXPECT_EQ(area.pixel(59, 30), qRgb(255, 255, 255));
    EXPECT_EQ(area.pixel(9, 31), original.pixel(9, 31));

    EXPECT_EQ(history.undo(area), QRect(QPoint(10, 10), QPoint(59, 30)));
    EXPECT_EQ(area, afterFirst);
    history.undo(area);
    EXPECT_EQ(area, original);
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.undo(area).isEmpty());
}

TEST(ImageSource, ALocalFileFirstThenPngThenAnyImageNeverTextOrWebAddresses)
{
    QMimeData data;
    data.setText(QStringLiteral("/tmp/graph.png"));
    data.setUrls({QUrl(QStringLiteral("https://example.org/graph.png"))});
    EXPECT_FALSE(offersImage(data));
    EXPECT_TRUE(std::holds_alternative<NoImage>(imageSourceOf(data)));

    data.setData(QStringLiteral("image/x-exotic"), QByteArrayLiteral("exotic"));
    EXPECT_EQ(std::get<ImageBytes>(imageSourceOf(data)).mimeType, QStringLiteral("image/x-exotic"));
    data.setData(QStringLiteral("image/png"), QByteArrayLiteral("png"));
    EXPECT_EQ(std::get<ImageBytes>(imageSourceOf(data)).bytes, QByteArrayLiteral("png"));

    data.setUrls({QUrl(QStringLiteral("https://example.org/graph.png")), QUrl::fromLocalFile("/tmp/a.png"),
                  QUrl::fromLocalFile("/tmp/b.png")});
    EXPECT_EQ(std::get<ImageFile>(imageSourceOf(data)).path, QStringLiteral("/tmp/a.png"));
}

}  // namespace
}  // namespace vastrel::image
