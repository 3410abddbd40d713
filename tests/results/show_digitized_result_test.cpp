// What a Digitize run draws into the result window and writes into both lists.

#include "MainWindowFixture.h"
#include "StoredRun.h"
#include "digitize/ShowDigitizedResult.h"
#include "results/Form3.h"

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

constexpr tk::ColorValue kBackground = 0xE0E0E0;
constexpr tk::ColorValue kBlack = 0x000000;
const QString kPreviewHeader = QStringLiteral("     X    ,     Y");

// Frame (100, 700)-(600, 100), W 500, H 600; a flat curve along row 650
// stays clear of the interior that the decade checks look at.
constexpr testing::ReferencePixels kFrame{100, 700, 600, 100};

float flatCurve(int)
{
    return 650.0f;
}

// The drawn pixels met along a row (vertical) or a column (horizontal).
QList<int> drawnAlong(const tk::PictureBox& plot, bool vertical, int fixed, int from, int to)
{
    QList<int> drawn;
    for (int v = from; v <= to; ++v)
        if ((vertical ? plot.Point(fixed, v) : plot.Point(v, fixed)) != kBackground) drawn.append(v);
    return drawn;
}

// Something is printed in the glyph-sized box whose top-left corner is (x, y).
bool printedAt(const tk::PictureBox& plot, float x, float y)
{
    for (int dy = 0; dy < 30; ++dy)
        for (int dx = 0; dx < 20; ++dx)
            if (plot.Point(x + static_cast<float>(dx), y + static_cast<float>(dy)) != kBackground) return true;
    return false;
}

}  // namespace

class ShowDigitizedResultTest : public QObject {
    Q_OBJECT
private slots:
    void frameAndDecadeLines_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("typed");   // X1, Y1, X2, Y2
        QTest::addColumn<QList<int>>("rows");     // horizontal lines met in column 300
        QTest::addColumn<QList<int>>("columns");  // vertical lines met in row 250

        const QStringList twoDecades = {"1", "1", "100", "100"};
        QTest::newRow("Linear - Linear") << 1 << twoDecades << QList<int>{} << QList<int>{};
        QTest::newRow("Linear - Log") << 2 << twoDecades << QList<int>{400} << QList<int>{};
        QTest::newRow("Linear - Log, ratio 5")
            << 2 << QStringList{"1", "1", "100", "5"} << QList<int>{} << QList<int>{};
        QTest::newRow("Linear - Log, descending")
            << 2 << QStringList{"1", "1", "1", "0.01"} << QList<int>{} << QList<int>{};
        QTest::newRow("Log - Log") << 3 << twoDecades << QList<int>{400} << QList<int>{350};
        QTest::newRow("Log - Log, X ratio 5")
            << 3 << QStringList{"1", "1", "5", "100"} << QList<int>{400} << QList<int>{};
        QTest::newRow("Log - Linear") << 4 << twoDecades << QList<int>{} << QList<int>{350};
        QTest::newRow("Log - Linear, X ratio 5")
            << 4 << QStringList{"1", "1", "5", "100"} << QList<int>{} << QList<int>{};
        // An overflowing ratio counts no decades instead of looping for ever.
        QTest::newRow("Log - Log, X ratio overflowing")
            << 3 << QStringList{"1e-300", "1", "1e300", "100"} << QList<int>{400} << QList<int>{};
    }

    void frameAndDecadeLines()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, typed);
        QFETCH(QList<int>, rows);
        QFETCH(QList<int>, columns);
        MainWindowFixture app;
        testing::storeRun(*app.module, *app.form, kFrame, flatCurve, mode, typed);
        digitize::ShowDigitizedResult(*app.module);
        const tk::PictureBox& plot = *app.module->form2().Picture1;

        QCOMPARE(drawnAlong(plot, true, 300, 102, 640), rows);
        QCOMPARE(drawnAlong(plot, false, 250, 102, 598), columns);
        for (const QPoint onFrame : {QPoint(300, 100), QPoint(300, 700), QPoint(100, 400), QPoint(600, 400)})
            QCOMPARE(plot.Point(onFrame.x(), onFrame.y()), kBlack);
        QCOMPARE(plot.DrawWidth(), 2);
    }

    void curveAndValuesAreDrawnAtTheImagePositions()
    {
        MainWindowFixture app;
        const auto zigzag = [](int i) { return 300.0f + static_cast<float>((i * 7) % 120); };
        testing::storeRun(*app.module, *app.form, kFrame, zigzag, 1, {"-2.5", "0.001", "1e5", "42abc"});
        digitize::ShowDigitizedResult(*app.module);
        const tk::PictureBox& plot = *app.module->form2().Picture1;
        for (int i = 1; i <= 497; ++i)
            if (plot.Point(101.0f + static_cast<float>(i), zigzag(i)) != tk::QBColor(12))
                QFAIL(qPrintable(QString("point %1 is not drawn").arg(i)));
        QCOMPARE(plot.Point(300, 200), kBackground);
        QVERIFY(printedAt(plot, 75, 712));   // X1 under the frame's left end
        QVERIFY(printedAt(plot, 575, 712));  // X2 under its right end
        QVERIFY(printedAt(plot, 610, 688));  // Y1 right of its bottom
        QVERIFY(printedAt(plot, 610, 88));   // Y2 right of its top
        QVERIFY(!printedAt(plot, 610, 300));
    }

    void newRunReplacesPlotAndLists()
    {
        MainWindowFixture app;
        testing::storeRun(*app.module, *app.form, kFrame, flatCurve);
        digitize::ShowDigitizedResult(*app.module);
        testing::storeRun(*app.module, *app.form, {200, 500, 206, 200}, flatCurve);
        app.module->DigitizedPoints(1).X = 12.34;
        app.module->DigitizedPoints(1).Y = 0.05678;
        const int yieldsBefore = app.platform.yields;
        digitize::ShowDigitizedResult(*app.module);

        results::Form2& window = app.module->form2();
        results::Form3& dialog = app.module->form3();
        QCOMPARE(window.Picture1->Point(300, 700), kBackground);
        QCOMPARE(window.Picture1->Point(400, 650), kBackground);
        QCOMPARE(window.Picture1->Point(203, 200), kBlack);
        QCOMPARE(app.platform.yields - yieldsBefore, 2);
        // Rows 4 and on still hold the first run; only the new three are listed.
        const QStringList resultRows = {" 1.234E+01  5.678E-02", " 2.000E+00  -1.000E+00", " 3.000E+00  -1.500E+00"};
        const QStringList previewRows = {kPreviewHeader, " 1.234E+01, 5.678E-02", " 2.000E+00, -1.000E+00",
                                         " 3.000E+00, -1.500E+00"};
        QCOMPARE(window.List1->ListCount(), 3);
        for (int row = 0; row < 3; ++row) QCOMPARE(window.List1->List(row), resultRows[row]);
        QCOMPARE(dialog.List1->ListCount(), 4);
        for (int row = 0; row < 4; ++row) QCOMPARE(dialog.List1->List(row), previewRows[row]);
        QVERIFY(window.isVisible() && !dialog.isVisible());
    }

    void runWithoutPointsDrawsFrameAndLabelsOnly()
    {
        MainWindowFixture app;
        testing::storeRun(*app.module, *app.form, {100, 700, 103, 100}, flatCurve);
        QCOMPARE(static_cast<int>(app.module->PointCount), 0);
        digitize::ShowDigitizedResult(*app.module);
        results::Form2& window = app.module->form2();

        QCOMPARE(window.Picture1->Point(100, 400), kBlack);
        QVERIFY(printedAt(*window.Picture1, 99.85f, 712));
        // The first point is still placed, from the never-written entry 1.
        QCOMPARE(window.Picture1->Point(102, 0), tk::QBColor(12));
        QCOMPARE(window.List1->ListCount(), 0);
        QCOMPARE(app.module->form3().List1->ListCount(), 1);
        QCOMPARE(app.module->form3().List1->List(0), kPreviewHeader);
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(ShowDigitizedResultTest)
#include "show_digitized_result_test.moc"
