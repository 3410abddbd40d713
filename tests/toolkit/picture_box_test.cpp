// The picture box: persistent drawing, read-back and mouse positions.

#include "toolkit/PictureBox.h"

#include <QSignalSpy>
#include <QtTest>

using vastrel::tk::PictureBox;

namespace {

constexpr vastrel::tk::ColorValue kGrey = 0xC0C0C0;

QImage solidImage(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

}  // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT
private slots:
    void drawingAreaLiesInsideTheBorder()
    {
        PictureBox box(nullptr, QSize(1009, 809), kGrey);
        QCOMPARE(box.drawingSize(), QSize(1005, 805));
        QCOMPARE(box.Point(0, 0), kGrey);
        QCOMPARE(box.Point(1004, 804), kGrey);
        QCOMPARE(box.Point(1005, 0), -1);
        QCOMPARE(box.Point(0, 805), -1);
        QCOMPARE(box.Point(-1, 10), -1);
        QCOMPARE(box.Point(-0.5f, 10), -1);
    }

    void pictureIsShownUnscaledOverTheBackground()
    {
        PictureBox box(nullptr, QSize(1009, 809), kGrey);
        QImage picture = solidImage(QSize(20, 10), QColor(10, 20, 30));
        picture.setPixelColor(5, 5, QColor(0, 0, 0, 0));  // transparent shows the background
        box.setPicture(picture);
        QCOMPARE(box.Point(0, 0), 0x1E140A);
        QCOMPARE(box.Point(19, 9), 0x1E140A);
        QCOMPARE(box.Point(20, 9), kGrey);
        QCOMPARE(box.Point(19, 10), kGrey);
        QCOMPARE(box.Point(5, 5), kGrey);
    }

    void clsErasesDrawingButKeepsThePicture()
    {
        PictureBox box(nullptr, QSize(109, 109), kGrey);
        box.setPicture(solidImage(QSize(10, 10), Qt::white));
        box.PSet(5, 5, 0x0000FF);
        box.Line(30, 30, 60, 30, 0x000000);
        box.setCurrentX(40);
        box.setCurrentY(50);
        box.Cls();
        QCOMPARE(box.Point(5, 5), 0xFFFFFF);
        QCOMPARE(box.Point(45, 30), kGrey);
        QCOMPARE(box.CurrentX(), 0.0f);
        QCOMPARE(box.CurrentY(), 0.0f);
    }

    void linesBoxesAndPointsLandOnTheirPixels()
    {
        PictureBox box(nullptr, QSize(104, 104), 0xFFFFFF);
        box.setForeColor(0x000000);
        box.Line(10, 20, 40, 20);
        QCOMPARE(box.Point(10, 20), 0);
        QCOMPARE(box.Point(39, 20), 0);
        QCOMPARE(box.Point(25, 21), 0xFFFFFF);
        QCOMPARE(box.CurrentX(), 40.0f);
        QCOMPARE(box.CurrentY(), 20.0f);

        box.LineTo(40, 60, 0x0000FF);  // from the current position, in its own colour
        QCOMPARE(box.Point(40, 40), 0x0000FF);

        box.Box(50, 90, 90, 50);
        for (auto [x, y] : {std::pair{50, 70}, {90, 70}, {70, 50}, {70, 90}}) QCOMPARE(box.Point(x, y), 0);
        QCOMPARE(box.Point(70, 70), 0xFFFFFF);

        box.setDrawWidth(2);
        box.PSet(5, 5, 0x00FF00);
        QCOMPARE(box.Point(5, 5), 0x00FF00);
        QCOMPARE(box.CurrentX(), 5.0f);
    }

    void printWritesAtTheCurrentPositionInTheForeColour()
    {
        PictureBox box(nullptr, QSize(404, 104), 0xC0C0C0);
        box.setForeColor(0x000000);
        QFont font("Liberation Serif");
        font.setPixelSize(40);
        box.setFont(font);
        box.setCurrentX(100);
        box.setCurrentY(30);
        box.Print("HHHH");
        int dark = 0, darkOutside = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 400; ++x) {
                const bool isDark = (box.Point(x, y) & 0xFF) < 0x60;
                const bool inside = x >= 100 && y >= 30 && y < 80;
                (inside ? dark : darkOutside) += isDark ? 1 : 0;
            }
        }
        QVERIFY2(dark > 200, "the text was not drawn at the current position");
        QCOMPARE(darkOutside, 0);
        QCOMPARE(box.CurrentX(), 0.0f);
        QVERIFY(box.CurrentY() > 30.0f);
    }

    void lineControlsAreNeverReadBack()
    {
        PictureBox box(nullptr, QSize(104, 104), 0xFFFFFF);
        auto& line = box.addLine(0, 50, 100, 50, 0x0000FF);
        line.setVisible(true);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QImage onScreen = box.grab().toImage();
        QCOMPARE(onScreen.pixelColor(2 + 50, 2 + 50), QColor(255, 0, 0));
        QCOMPARE(box.Point(50, 50), 0xFFFFFF);
        line.setVisible(false);
        QCOMPARE(box.grab().toImage().pixelColor(2 + 50, 2 + 50), QColor(255, 255, 255));
    }

    void mouseEventsDeliverDrawingAreaPixels()
    {
        PictureBox box(nullptr, QSize(204, 204), 0xFFFFFF);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy downs(&box, &PictureBox::MouseDown);
        QTest::mouseClick(&box, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(2 + 37, 2 + 81));
        QCOMPARE(downs.count(), 1);
        QCOMPARE(downs[0][0].toInt(), 2);  // right button
        QCOMPARE(downs[0][1].toInt(), 3);  // shift + ctrl
        QCOMPARE(downs[0][2].toFloat(), 37.0f);
        QCOMPARE(downs[0][3].toFloat(), 81.0f);

        QSignalSpy moves(&box, &PictureBox::MouseMove);
        QTest::mouseMove(&box, QPoint(2 + 120, 2 + 5));
        QTRY_VERIFY(!moves.isEmpty());
        QCOMPARE(moves.last()[2].toFloat(), 120.0f);
        QCOMPARE(moves.last()[3].toFloat(), 5.0f);
    }

    void mousePointerSwitchesTheCursor()
    {
        PictureBox box(nullptr, QSize(104, 104), 0xFFFFFF);
        box.setMousePointer(vastrel::tk::kCrossPointer);
        QCOMPARE(box.cursor().shape(), Qt::CrossCursor);
        box.setMousePointer(vastrel::tk::kArrowPointer);
        QCOMPARE(box.cursor().shape(), Qt::ArrowCursor);
    }

    void drawingSurvivesHiding()
    {
        PictureBox box(nullptr, QSize(104, 104), 0xFFFFFF);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.hide();
        box.Line(0, 10, 99, 10, 0x000000);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.grab().toImage().pixelColor(2 + 30, 2 + 10), QColor(0, 0, 0));
    }
};

QTEST_MAIN(PictureBoxTest)
#include "picture_box_test.moc"
