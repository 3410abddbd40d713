// The result window: the crosshair tied to the point list, and how the window
// is shown and hidden together with the save dialog.

#include "MainWindowFixture.h"
#include "StoredRun.h"
#include "digitize/ShowDigitizedResult.h"
#include "results/Form3.h"

#include <QApplication>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

const QString kNoGraph = QStringLiteral(" --- Digitized Graph はありません --- ");

float curveRow(int i)
{
    return 200.0f + static_cast<float>(i % 300);
}

// A run with frame (sx, 750)-(ex, 50), drawn and shown; row 7 selected.
results::Form2& shownRun(MainWindowFixture& app, float sx, float ex)
{
    testing::storeRun(*app.module, *app.form, {sx, 750, ex, 50}, curveRow);
    digitize::ShowDigitizedResult(*app.module);
    results::Form2& window = app.module->form2();
    window.List1->setListIndex(7);
    return window;
}

}  // namespace

class ResultWindowTest : public QObject {
    Q_OBJECT
private slots:
    void crosshairFollowsThePointer_data()
    {
        QTest::addColumn<float>("sx");
        QTest::addColumn<float>("ex");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("row");  // -1: horizontal line hidden, selection unchanged

        // A run wider than the band: the band decides at its edges.
        QTest::newRow("X 9") << 5.0f << 1000.0f << 9 << 300 << false << -1;
        QTest::newRow("X 10") << 5.0f << 1000.0f << 10 << 300 << true << 3;
        QTest::newRow("X 990") << 5.0f << 1000.0f << 990 << 300 << true << 983;
        QTest::newRow("X 991") << 5.0f << 1000.0f << 991 << 300 << false << -1;
        QTest::newRow("first digitized column") << 100.0f << 600.0f << 102 << 700 << true << 0;
        QTest::newRow("last digitized column") << 100.0f << 600.0f << 598 << 20 << true << 496;
        QTest::newRow("band before the run") << 100.0f << 600.0f << 101 << 300 << true << -1;
        QTest::newRow("band after the run") << 100.0f << 600.0f << 599 << 300 << true << -1;
        QTest::newRow("top of the plot") << 100.0f << 600.0f << 300 << 0 << true << 198;
        QTest::newRow("bottom of the plot") << 100.0f << 600.0f << 300 << 800 << true << 198;
    }

    void crosshairFollowsThePointer()
    {
        QFETCH(float, sx);
        QFETCH(float, ex);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(bool, vertical);
        QFETCH(int, row);
        MainWindowFixture app;
        results::Form2& window = shownRun(app, sx, ex);
        QVERIFY(testing::moveOverPlot(window, x, y));
        QCOMPARE(window.Line2->X1(), static_cast<float>(x));
        QCOMPARE(window.Line2->X2(), static_cast<float>(x));
        QCOMPARE(window.Line2->Visible(), vertical);
        QCOMPARE(window.Line1->Visible(), row >= 0);
        QCOMPARE(window.List1->ListIndex(), row >= 0 ? row : 7);
        const float expectedY = row >= 0 ? curveRow(row + 1) : static_cast<float>(y);
        QCOMPARE(window.Line1->Y1(), expectedY);
        QCOMPARE(window.Line1->Y2(), expectedY);
    }

    void listClickPutsTheCrosshairOnThePoint()
    {
        MainWindowFixture app;
        results::Form2& window = shownRun(app, 100.5f, 400.5f);
        QVERIFY(testing::moveOverPlot(window, 995, 10));
        QVERIFY(!window.Line1->Visible() && !window.Line2->Visible());

        const QRect row = window.List1->visualItemRect(window.List1->item(4));
        QTest::mouseClick(window.List1->viewport(), Qt::LeftButton, {}, row.center());
        QTRY_COMPARE(window.List1->ListIndex(), 4);
        QCOMPARE(window.Line2->X1(), 106.5f);
        QCOMPARE(window.Line2->X2(), 106.5f);
        QCOMPARE(window.Line1->Y1(), curveRow(5));
        QCOMPARE(window.Line1->Y2(), curveRow(5));
        QVERIFY(window.Line1->Visible() && window.Line2->Visible());
    }

    void pointerHandlingEndsQuietlyAtItsFirstFailure_data()
    {
        QTest::addColumn<int>("before");  // on the curve, or beside the run
        QTest::addColumn<float>("newStart");
        QTest::addColumn<float>("newEnd");
        QTest::addColumn<int>("x");
        // The end point picked again further right: row 598 is not in the list.
        QTest::newRow("missing row, line shown") << 300 << 100.0f << 900.0f << 700;
        QTest::newRow("missing row, line hidden") << 50 << 100.0f << 900.0f << 700;
        // r = 65536 does not fit a list index and must not wrap round to row 0.
        QTest::newRow("row beyond 16 bits") << 300 << 500.0f - 65538.0f << 600.0f << 500;
    }

    void pointerHandlingEndsQuietlyAtItsFirstFailure()
    {
        QFETCH(int, before);
        QFETCH(float, newStart);
        QFETCH(float, newEnd);
        QFETCH(int, x);
        MainWindowFixture app;
        results::Form2& window = shownRun(app, 100, 600);
        QVERIFY(testing::moveOverPlot(window, before, 250));
        const bool horizontalBefore = window.Line1->Visible();
        const int selectedBefore = window.List1->ListIndex();

        app.module->StartPixelX = newStart;
        app.module->EndPixelX = newEnd;
        QVERIFY(testing::moveOverPlot(window, x, 123));
        QCOMPARE(window.Line2->X1(), static_cast<float>(x));
        QVERIFY(window.Line2->Visible());
        QCOMPARE(window.Line1->Visible(), horizontalBefore);
        QCOMPARE(window.Line1->Y1(), 123.0f);
        QCOMPARE(window.Line1->Y2(), 123.0f);
        QCOMPARE(window.List1->ListIndex(), selectedBefore);
        QVERIFY(app.platform.messages.isEmpty());
    }

    void digitizedGraphButtonShowsOnlyAnAvailableResult()
    {
        MainWindowFixture app;
        app.form->Command6->click();
        QCOMPARE(app.platform.texts(), QStringList{kNoGraph});
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QVERIFY(!app.module->form2Exists());

        results::Form2& window = shownRun(app, 100, 600);
        window.Command1->click();
        QVERIFY(!window.isVisible());
        app.form->Command6->click();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Hidden and shown again, the window keeps its plot, list and markers.
        QCOMPARE(window.Picture1->Point(150, curveRow(49)), tk::QBColor(12));
        const QPoint onCurve = window.Picture1->pos() + window.Picture1->contentsRect().topLeft() +
                               QPoint(150, static_cast<int>(curveRow(49)));
        QCOMPARE(window.grab().toImage().pixelColor(onCurve), QColor(255, 0, 0));
        QCOMPARE(window.List1->ListCount(), 497);
        QCOMPARE(window.Line2->X1(), 109.0f);

        // After Reset the open window keeps the old result; the button refuses.
        app.module->DigitizedFlag = 0;
        app.form->Command6->click();
        QCOMPARE(app.platform.texts(), (QStringList{kNoGraph, kNoGraph}));
        QVERIFY(window.isVisible());
        QCOMPARE(window.List1->ListCount(), 497);
    }

    void closeHidesBothWindows_data()
    {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("Close") << false;
        QTest::newRow("close box") << true;
    }

    void closeHidesBothWindows()
    {
        QFETCH(bool, byCloseBox);
        MainWindowFixture app;
        results::Form2& window = shownRun(app, 100, 600);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.Command1));
        window.Command6->click();
        results::Form3& dialog = app.module->form3();
        QVERIFY(dialog.isVisible());
        if (byCloseBox)
            window.close();
        else
            window.Command1->click();
        QVERIFY(!window.isVisible() && !dialog.isVisible());

        app.form->Command6->click();
        QVERIFY(window.isVisible() && !dialog.isVisible());
    }

    void saveButtonPresetsTheDateEveryTime()
    {
        MainWindowFixture app;
        results::Form2& window = shownRun(app, 100, 600);
        results::Form3& dialog = app.module->form3();
        QCOMPARE(dialog.Text9->Text(), QString("Text9"));
        window.Command6->click();
        QCOMPARE(dialog.Text9->Text(), QString("12-06-2026"));
        QVERIFY(window.isVisible() && dialog.isVisible());

        dialog.Text9->setText("measured");
        dialog.Command1->click();
        QVERIFY(!dialog.isVisible());
        app.platform.today = QDate(2027, 1, 2);
        window.Command6->click();
        QCOMPARE(dialog.Text9->Text(), QString("01-02-2027"));
    }
};

QTEST_MAIN(ResultWindowTest)
#include "result_window_test.moc"
