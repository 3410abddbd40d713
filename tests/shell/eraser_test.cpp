// The eraser: a right-button drag paints white into the picture, step by step
// undone; a right click opens the image area's menu; a pick always wins.

#include "MainWindowFixture.h"

#include <QImageWriter>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

constexpr tk::ColorValue kCurveBlue = 0x802010;  // &H00BBGGRR: little green, found as the curve
constexpr int kCurveRow = 200;
const QRect kLegend(QPoint(100, 50), QPoint(160, 70));

struct GraphWindow {
    // A 400 x 300 graph: a dark blue curve along one row and above it a black
    // legend, darker than the curve, so the scan takes it in its columns.
    MainWindowFixture app{[](const QDir& folder) {
        QImage graph = testing::filledImage({400, 300}, Qt::white);
        for (int x = 0; x < 400; ++x) graph.setPixelColor(x, kCurveRow, QColor(0x10, 0x20, 0x80));
        for (int y = kLegend.top(); y <= kLegend.bottom(); ++y)
            for (int x = kLegend.left(); x <= kLegend.right(); ++x) graph.setPixelColor(x, y, Qt::black);
        QVERIFY(QImageWriter(folder.filePath("graph.png")).write(graph));
        QVERIFY(QImageWriter(folder.filePath("other.png")).write(testing::filledImage({50, 50}, Qt::black)));
    }};
    shell::Form1& form = *app.form;

    bool ready() { return app.show() && app.clickFile("graph.png"); }
    QPoint at(QPoint pixel) const { return form.Picture1->contentsRect().topLeft() + pixel; }
    void press(QPoint pixel) { QTest::mousePress(form.Picture1, Qt::RightButton, {}, at(pixel)); }
    void moveTo(QPoint pixel) { QTest::mouseMove(form.Picture1, at(pixel)); }
    void release(QPoint pixel) { QTest::mouseRelease(form.Picture1, Qt::RightButton, {}, at(pixel)); }
    void drag(QPoint from, QPoint to)
    {
        press(from);
        moveTo((from + to) / 2);
        moveTo(to);
        release(to);
    }
    void undoByKey()
    {
        form.Command1->setFocus();
        QTest::keyClick(form.Command1, Qt::Key_Z, Qt::ControlModifier);
    }
    int black() const { return form.Picture1->Point(130, 60); }

    // The curve's rows found by a Digitize run over the whole graph.
    QList<float> digitizedRows()
    {
        app.module->StartPixelX = 10.0f;
        app.module->StartPixelY = 290.0f;
        app.module->EndPixelX = 390.0f;
        app.module->EndPixelY = 10.0f;
        for (tk::TextBox* box : {form.Text1, form.Text2, form.Text3, form.Text4}) box->setText("1");
        form.Command5_Click();
        form.activateWindow();  // back from the result window
        QList<float> rows;
        for (int i = 1; i <= app.module->PointCount; ++i) rows.append(app.module->CurvePixelY(i));
        return rows;
    }
};

}  // namespace

class EraserTest : public QObject {
    Q_OBJECT
private slots:
    void anErasedLegendIsNoLongerFoundAndComesBackWithUndo()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        auto& form = window.form;
        const QList<float> withLegend = window.digitizedRows();
        QVERIFY(withLegend.contains(float(kLegend.top())));
        form.Line1->setVisible(true);

        window.press(kLegend.bottomRight() + QPoint(4, 4));
        window.moveTo(kLegend.topLeft() - QPoint(4, 4));
        QCOMPARE(form.Picture1->RubberBand(), std::optional<QRect>(kLegend.adjusted(-4, -4, 4, 4)));
        QCOMPARE(window.black(), 0);  // nothing changes before the release
        window.release(kLegend.topLeft() - QPoint(4, 4));
        QVERIFY(!form.Picture1->RubberBand() && !form.imageAreaMenu->isVisible());
        QCOMPARE(window.black(), 0xFFFFFF);
        QCOMPARE(form.Picture1->Point(130, kCurveRow), kCurveBlue);
        // Only the picture changed: the marker, the state and the result stay,
        // and clearing the drawing keeps what was erased.
        QVERIFY(form.Line1->Visible());
        QCOMPARE(static_cast<int>(window.app.module->PickMode), 0);
        QCOMPARE(float(window.app.module->CurvePixelY(120)), withLegend[119]);
        form.Picture1->Cls();
        QCOMPARE(window.black(), 0xFFFFFF);

        const QList<float> erased = window.digitizedRows();
        QVERIFY(std::all_of(erased.begin(), erased.end(), [](float row) { return row == kCurveRow; }));
        QVERIFY(QTest::qWaitForWindowActive(&form));
        window.undoByKey();
        QCOMPARE(window.black(), 0);
        QCOMPARE(window.digitizedRows(), withLegend);
    }

    void undoGoesBackStepByStepUntilAnotherImageOrReset()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        auto& form = window.form;
        window.drag({20, 190}, {60, 210});
        window.drag({50, 195}, {1200, 900});  // clipped to the drawing area
        QCOMPARE(form.Picture1->Point(1004, 804), 0xFFFFFF);
        // In a text box Ctrl+Z undoes the typing only.
        form.Text1->setFocus();
        QTest::keyClicks(form.Text1, "25");
        QTest::keyClick(form.Text1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.Text1->Text(), QString());
        QCOMPARE(form.Picture1->Point(1004, 804), 0xFFFFFF);

        form.imageAreaMenu->actions().value(1)->trigger();  // "元に戻す"
        QCOMPARE(form.Picture1->Point(1004, 804), 0xC0C0C0);
        QCOMPARE(form.Picture1->Point(30, kCurveRow), 0xFFFFFF);
        window.undoByKey();
        QCOMPARE(form.Picture1->Point(30, kCurveRow), kCurveBlue);
        QVERIFY(!form.canUndoErase());

        window.drag({0, 0}, {20, 20});
        QVERIFY(window.app.clickFile("other.png"));
        QVERIFY(!form.canUndoErase());
        window.drag({0, 0}, {20, 20});
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        QVERIFY(!form.canUndoErase());
        QCOMPARE(form.Picture1->Point(10, 10), 0xC0C0C0);
    }

    void aRightClickOpensTheMenuAndEscapeCancelsADrag()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        auto& form = window.form;
        QAction* undo = form.imageAreaMenu->actions().value(1);
        QCOMPARE(undo->text(), QString("元に戻す"));
        window.press(kLegend.center());
        window.moveTo(kLegend.center() + QPoint(2, 1));  // less than 3 pixels: still a click
        window.release(kLegend.center() + QPoint(2, 1));
        QTRY_VERIFY(form.imageAreaMenu->isVisible());
        QVERIFY(!undo->isEnabled());
        QCOMPARE(window.black(), 0);
        form.imageAreaMenu->hide();

        window.press({90, 40});
        window.moveTo({170, 80});
        QVERIFY(form.Picture1->RubberBand());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!form.Picture1->RubberBand());
        window.release({170, 80});
        QCOMPARE(window.black(), 0);
        QVERIFY(!form.canUndoErase() && !form.imageAreaMenu->isVisible());

        window.drag({0, 0}, {5, 5});
        window.press({300, 100});
        window.release({300, 100});
        QTRY_VERIFY(form.imageAreaMenu->isVisible());
        QVERIFY(undo->isEnabled());
        form.imageAreaMenu->hide();
    }

    void withNoPictureARightDragOnlyOpensTheMenu()
    {
        GraphWindow window;
        QVERIFY(window.app.show());
        auto& form = window.form;
        const tk::ColorValue title = form.Picture1->Point(350, 380);
        window.press({280, 340});
        window.moveTo({400, 430});
        QVERIFY(!form.Picture1->RubberBand());
        window.release({400, 430});
        QTRY_VERIFY(form.imageAreaMenu->isVisible());
        form.imageAreaMenu->hide();
        QVERIFY(!form.canUndoErase());
        QCOMPARE(form.Picture1->Point(350, 380), title);
    }

    void anUndoInTheMiddleOfADragWaitsForItsEnd()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        window.drag({90, 40}, {170, 80});
        window.press({200, 100});
        window.moveTo({260, 150});
        window.undoByKey();
        QCOMPARE(window.black(), 0xFFFFFF);  // the first erase still stands
        window.release({260, 150});
        window.undoByKey();
        window.undoByKey();
        QCOMPARE(window.black(), 0);
    }

    void aPickArmedWinsOverTheEraser()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        window.form.Command3_Click();
        window.drag({90, 40}, {170, 80});
        QCOMPARE(static_cast<float>(window.app.module->StartPixelX), 90.0f);
        QCOMPARE(static_cast<float>(window.app.module->StartPixelY), 40.0f);
        QCOMPARE(window.black(), 0);
        QVERIFY(!window.form.canUndoErase() && !window.form.imageAreaMenu->isVisible());
    }

    void theOldestStepsGoBeyondTheUndoMemoryAndTheUserIsToldOnce()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        auto& form = window.form;
        window.app.platform.messages.clear();
        // Whole-picture erases, a few more than the undo memory holds.
        const qsizetype step = 400 * 300 * 4;
        const int kept = int(image::kUndoMemory / step), drags = kept + 5;
        for (int i = 0; i < drags; ++i) window.drag({0, 0}, {399, 299});
        QCOMPARE(window.app.platform.texts(),
                 QStringList{" --- 古い消去から順に元に戻せなくなります (取り消しの記録は 64 MB までです) --- "});
        int undone = 0;
        for (; form.canUndoErase() && undone <= drags; ++undone) window.undoByKey();
        QCOMPARE(undone, kept);
        // The forgotten steps' paint stays: the legend does not come back.
        QCOMPARE(window.black(), tk::ColorValue(0xFFFFFF));
        QCOMPARE(window.app.platform.messages.size(), 1);
    }
};

QTEST_MAIN(EraserTest)
#include "eraser_test.moc"
