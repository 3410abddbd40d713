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

// A 400 x 300 graph: a dark blue curve along one row, and above it a black
// legend that is darker than the curve, so the scan takes it in its columns.
QImage graphWithLegend()
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = 0; x < 400; ++x) image.setPixelColor(x, kCurveRow, QColor(0x10, 0x20, 0x80));
    for (int y = kLegend.top(); y <= kLegend.bottom(); ++y)
        for (int x = kLegend.left(); x <= kLegend.right(); ++x) image.setPixelColor(x, y, Qt::black);
    return image;
}

struct GraphWindow {
    MainWindowFixture app{[](const QDir& folder) {
        QVERIFY(QImageWriter(folder.filePath("graph.png")).write(graphWithLegend()));
        QImage other(50, 50, QImage::Format_RGB32);
        other.fill(Qt::black);
        QVERIFY(QImageWriter(folder.filePath("other.png")).write(other));
    }};
    shell::Form1& form = *app.form;

    bool ready() { return app.show() && app.clickFile("graph.png"); }

    QPoint at(QPoint pixel) const { return form.Picture1->contentsRect().topLeft() + pixel; }
    void rightPress(QPoint pixel) { QTest::mousePress(form.Picture1, Qt::RightButton, {}, at(pixel)); }
    void moveTo(QPoint pixel) { QTest::mouseMove(form.Picture1, at(pixel)); }
    void rightRelease(QPoint pixel) { QTest::mouseRelease(form.Picture1, Qt::RightButton, {}, at(pixel)); }
    void rightDrag(QPoint from, QPoint to)
    {
        rightPress(from);
        moveTo((from + to) / 2);
        moveTo(to);
        rightRelease(to);
    }

    QAction* menuEntry(const QString& text) const
    {
        for (QAction* action : form.imageAreaMenu->actions())
            if (action->text() == text) return action;
        return nullptr;
    }

    // The curve's pixel rows of a Digitize run over the whole graph.
    QList<float> digitizedRows()
    {
        app.module->StartPixelX = 10.0f;
        app.module->StartPixelY = 290.0f;
        app.module->EndPixelX = 390.0f;
        app.module->EndPixelY = 10.0f;
        for (tk::TextBox* box : {form.Text1, form.Text2, form.Text3, form.Text4}) box->setText("1");
        form.Command5_Click();
        QList<float> rows;
        for (int i = 1; i <= app.module->PointCount; ++i) rows.append(app.module->CurvePixelY(i));
        return rows;
    }
};

bool allAt(const QList<float>& rows, float row)
{
    return !rows.isEmpty() && std::all_of(rows.begin(), rows.end(), [row](float r) { return r == row; });
}

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
        const QList<float> stored = withLegend;

        form.Line1->setVisible(true);
        form.Label11->setCaption("42");
        window.rightPress(kLegend.bottomRight() + QPoint(4, 4));
        window.moveTo(kLegend.topLeft() - QPoint(4, 4));
        QCOMPARE(form.Picture1->RubberBand(), std::optional<QRect>(kLegend.adjusted(-4, -4, 4, 4)));
        QCOMPARE(form.Picture1->Point(130, 60), 0);  // nothing changes before the release
        window.rightRelease(kLegend.topLeft() - QPoint(4, 4));
        QVERIFY(!form.Picture1->RubberBand());
        QVERIFY(!form.imageAreaMenu->isVisible());
        QCOMPARE(form.Picture1->Point(130, 60), 0xFFFFFF);
        QCOMPARE(form.Picture1->Point(96, 46), 0xFFFFFF);
        QCOMPARE(form.Picture1->Point(130, kCurveRow), kCurveBlue);
        // Only the picture changed: markers, labels, the state and the result stay.
        QVERIFY(form.Line1->Visible());
        QCOMPARE(form.Label11->Caption(), QString("42"));
        QCOMPARE(static_cast<int>(window.app.module->PickMode), 0);
        for (int i = 0; i < stored.size(); ++i) QCOMPARE(float(window.app.module->CurvePixelY(i + 1)), stored[i]);
        // What is erased is part of the picture: clearing the drawing keeps it.
        form.Picture1->Cls();
        QCOMPARE(form.Picture1->Point(130, 60), 0xFFFFFF);

        QVERIFY(allAt(window.digitizedRows(), kCurveRow));

        // Digitize brought the result window up; the user comes back to the main window.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Command5->setFocus();
        QTest::keyClick(form.Command5, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.Picture1->Point(130, 60), 0);
        QCOMPARE(window.digitizedRows(), withLegend);
    }

    void undoGoesBackStepByStepAndNewImagesOrResetForgetTheSteps()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        auto& form = window.form;
        window.rightDrag({20, 190}, {60, 210});
        window.rightDrag({50, 195}, {1200, 900});  // beyond the area: clipped to it
        QCOMPARE(form.Picture1->Point(1004, 804), 0xFFFFFF);
        QCOMPARE(form.Picture1->Point(30, kCurveRow), 0xFFFFFF);

        form.Command1->setFocus();
        QTest::keyClick(form.Command1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.Picture1->Point(1004, 804), 0xC0C0C0);
        QCOMPARE(form.Picture1->Point(30, kCurveRow), 0xFFFFFF);
        QVERIFY(window.menuEntry("元に戻す"));
        window.menuEntry("元に戻す")->trigger();
        QCOMPARE(form.Picture1->Point(30, kCurveRow), kCurveBlue);
        QTest::keyClick(form.Command1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.Picture1->Point(130, 60), 0);
        QVERIFY(window.app.platform.messages.isEmpty());

        window.rightDrag({0, 0}, {20, 20});
        QVERIFY(window.app.clickFile("other.png"));
        QVERIFY(!form.canUndoErase());
        QCOMPARE(form.Picture1->Point(10, 10), 0);

        window.rightDrag({0, 0}, {20, 20});
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        QVERIFY(!form.canUndoErase());
        QCOMPARE(form.Picture1->Point(10, 10), 0xC0C0C0);
    }

    void aRightClickOpensTheMenuInsteadOfErasing()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        auto& form = window.form;
        QAction* undo = window.menuEntry("元に戻す");
        QVERIFY(undo && window.menuEntry("画像を貼り付け"));

        window.rightPress(kLegend.center());
        window.moveTo(kLegend.center() + QPoint(2, 1));  // less than 3 pixels: still a click
        QVERIFY(!form.Picture1->RubberBand());
        window.rightRelease(kLegend.center() + QPoint(2, 1));
        QTRY_VERIFY(form.imageAreaMenu->isVisible());
        QVERIFY(!undo->isEnabled());
        QCOMPARE(form.Picture1->Point(kLegend.center().x(), kLegend.center().y()), 0);
        form.imageAreaMenu->hide();

        window.rightDrag({0, 0}, {5, 5});
        window.rightPress({300, 100});
        window.rightRelease({300, 100});
        QTRY_VERIFY(form.imageAreaMenu->isVisible());
        QVERIFY(undo->isEnabled());
        form.imageAreaMenu->hide();
    }

    void escapeCancelsTheDrag()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        auto& form = window.form;
        window.rightPress({90, 40});
        window.moveTo({170, 80});
        QVERIFY(form.Picture1->RubberBand());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!form.Picture1->RubberBand());
        window.rightRelease({170, 80});
        QCOMPARE(form.Picture1->Point(130, 60), 0);
        QVERIFY(!form.canUndoErase());
        QVERIFY(!form.imageAreaMenu->isVisible());
    }

    void aPickArmedWinsOverTheEraser()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        auto& form = window.form;
        form.Command3_Click();
        window.rightDrag({90, 40}, {170, 80});
        QCOMPARE(static_cast<float>(window.app.module->StartPixelX), 90.0f);
        QCOMPARE(static_cast<float>(window.app.module->StartPixelY), 40.0f);
        QVERIFY(!form.Picture1->RubberBand());
        QCOMPARE(form.Picture1->Point(130, 60), 0);
        QVERIFY(!form.canUndoErase());
        QVERIFY(!form.imageAreaMenu->isVisible());
    }

    void ctrlZInATextBoxUndoesTheTypingOnly()
    {
        GraphWindow window;
        QVERIFY(window.ready());
        auto& form = window.form;
        window.rightDrag(kLegend.topLeft(), kLegend.bottomRight());
        form.Text1->setFocus();
        QTest::keyClicks(form.Text1, "25");
        QTest::keyClick(form.Text1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.Text1->Text(), QString());
        QCOMPARE(form.Picture1->Point(130, 60), 0xFFFFFF);
        QVERIFY(form.canUndoErase());
    }
};

QTEST_MAIN(EraserTest)
#include "eraser_test.moc"
