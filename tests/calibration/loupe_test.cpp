// The loupe beside the pointer while aiming: what it shows, where it goes,
// and that it is gone when no pick is armed and never read back.

#include "MainWindowFixture.h"

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

// Every pixel a colour of its own: red from x, green from y.
QImage gradient()
{
    QImage image(600, 400, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, 90));
    return image;
}

tk::ColorValue pointOf(QPoint pixel)
{
    return (pixel.x() % 256) | (pixel.y() % 256) << 8 | 90 << 16;
}

// The colour the loupe shows in the middle of the enlarged pixel (dx, dy).
QRgb shownAt(tk::Loupe& loupe, int dx, int dy)
{
    return loupe.grab().toImage().pixel(tk::Loupe::cellOf(dx, dy).center()) | 0xFF000000u;
}

struct AimingWindow {
    MainWindowFixture app;
    shell::Form1& form = *app.form;
    bool ready()
    {
        if (!app.show()) return false;
        form.Picture1->setPicture(gradient());
        return true;
    }
    QPoint screenOf(QPoint pixel) const { return form.Picture1->screenPosition(pixel); }
};

}  // namespace

class LoupeTest : public QObject {
    Q_OBJECT
private slots:
    void whileAPickIsArmedTheLoupeShowsThePixelsAroundThePointer()
    {
        AimingWindow window;
        QVERIFY(window.ready());
        tk::Loupe& loupe = *window.form.loupe;
        window.app.moveOverPicture(121, 81);
        QVERIFY(!loupe.isVisible());

        QWidget* focusBefore = QApplication::focusWidget();
        window.form.Command3_Click();
        window.app.moveOverPicture(120, 80);
        QTRY_VERIFY(loupe.isVisible());
        QCOMPARE(loupe.Caption(), QString("X 120   Y 80"));
        QCOMPARE(shownAt(loupe, 0, 0), qRgb(120, 80, 90));
        QCOMPARE(shownAt(loupe, -10, -10), qRgb(110, 70, 90));
        QCOMPARE(shownAt(loupe, 10, 3), qRgb(130, 83, 90));

        // Clear of the pointer, and never in what Point reads or in the focus.
        const QPoint pointer = window.screenOf({120, 80});
        const QRect placed = loupe.frameGeometry();
        QVERIFY(placed.left() - pointer.x() >= tk::Loupe::kClearance ||
                pointer.x() - placed.right() >= tk::Loupe::kClearance);
        QVERIFY(placed.top() - pointer.y() >= tk::Loupe::kClearance ||
                pointer.y() - placed.bottom() >= tk::Loupe::kClearance);
        const QPoint under = placed.center() - window.screenOf({0, 0});
        QVERIFY(QRect(0, 0, 600, 400).contains(under));
        QCOMPARE(window.form.Picture1->Point(under.x(), under.y()), pointOf(under));
        QCOMPARE(QApplication::focusWidget(), focusBefore);
        QVERIFY(QApplication::widgetAt(placed.center()) != &loupe);

        // Beyond the picture the grey background shows, as Point reads it.
        window.app.moveOverPicture(595, 395);
        QCOMPARE(shownAt(loupe, 9, 0), qRgb(0xC0, 0xC0, 0xC0));
        QCOMPARE(shownAt(loupe, 0, 9), qRgb(0xC0, 0xC0, 0xC0));
        QCOMPARE(shownAt(loupe, 0, 0), qRgb(595 % 256, 395 % 256, 90));
    }

    void theLoupeIsGoneOnceThePickIsTakenOrThePointerLeaves()
    {
        AimingWindow window;
        QVERIFY(window.ready());
        tk::Loupe& loupe = *window.form.loupe;
        window.form.Command4_Click();
        window.app.moveOverPicture(60, 40);
        QTRY_VERIFY(loupe.isVisible());
        QTest::mouseMove(window.form.Command5);
        QTRY_VERIFY(!loupe.isVisible());

        window.app.moveOverPicture(60, 40);
        QTRY_VERIFY(loupe.isVisible());
        bool shownBehindMessage = true;
        window.app.platform.whileMessageShown = [&](const QString&) { shownBehindMessage = loupe.isVisible(); };
        window.app.pressOnPicture(60, 40);
        QCOMPARE(static_cast<float>(window.app.module->EndPixelX), 60.0f);
        QVERIFY(!shownBehindMessage);
        window.app.moveOverPicture(70, 50);
        QVERIFY(!loupe.isVisible());

        // An eraser drag shows it too, until the release.
        const QPoint origin = window.form.Picture1->contentsRect().topLeft();
        QTest::mousePress(window.form.Picture1, Qt::RightButton, {}, origin + QPoint(100, 100));
        QTest::mouseMove(window.form.Picture1, origin + QPoint(150, 130));
        QTRY_VERIFY(loupe.isVisible());
        QCOMPARE(loupe.Caption(), QString("X 150   Y 130"));
        QTest::mouseRelease(window.form.Picture1, Qt::RightButton, {}, origin + QPoint(150, 130));
        QVERIFY(!loupe.isVisible());
    }

    void theLoupeChangesSideNearTheScreensEdges()
    {
        const QRect screen(0, 0, 1600, 1000);
        const QSize size(170, 190);
        QCOMPARE(tk::besidePointer({1390, 770}, size, screen, 40), QPoint(1430, 810));  // just fits
        QCOMPARE(tk::besidePointer({1391, 400}, size, screen, 40), QPoint(1391 - 210, 440));
        QCOMPARE(tk::besidePointer({500, 771}, size, screen, 40), QPoint(540, 771 - 230));
    }
};

QTEST_MAIN(LoupeTest)
#include "loupe_test.moc"
