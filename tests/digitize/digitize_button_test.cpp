// The "Digitize" button in the main window: checks, the stored result, the
// messages and what a refused run leaves alone.

#include "MainWindowFixture.h"
#include "engine/digitize/DigitizeMessages.h"
#include "results/Form2.h"

#include <QPainter>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

QString text(std::string_view message)
{
    return QString::fromUtf8(message.data(), qsizetype(message.size()));
}

// White paper with a black line along `curveRow` from column 0 to `width`.
QImage paperWithLine(int width, int curveRow)
{
    QImage image(width, 800, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = 0; x < width; ++x) image.setPixelColor(x, curveRow, Qt::black);
    return image;
}

void calibrate(MainWindowFixture& app, float sx, float sy, float ex, float ey, QStringList typed)
{
    app.module->StartPixelX = sx;
    app.module->StartPixelY = sy;
    app.module->EndPixelX = ex;
    app.module->EndPixelY = ey;
    tk::TextBox* boxes[] = {app.form->Text1, app.form->Text2, app.form->Text3, app.form->Text4};
    for (int i = 0; i < 4; ++i) boxes[i]->setText(typed[i]);
}

void storeEarlierResult(shell::Module1& module, int count)
{
    module.PointCount = std::int16_t(count);
    for (int i = 1; i <= count; ++i) {
        module.DigitizedPoints(i).X = -i;
        module.DigitizedPoints(i).Y = -2.0 * i;
        module.CurvePixelY(i) = 7.0f;
    }
}

}  // namespace

class DigitizeButtonTest : public QObject {
    Q_OBJECT
private slots:
    void anEmptyBoxRefusesAndChangesNothing_data()
    {
        QTest::addColumn<int>("emptyBox");
        for (int box = 0; box < 4; ++box) QTest::addRow("Text%d", box + 1) << box;
    }

    void anEmptyBoxRefusesAndChangesNothing()
    {
        QFETCH(int, emptyBox);
        MainWindowFixture app;
        QStringList typed = {"0", "0", "10", "100"};
        typed[emptyBox] = "";
        calibrate(app, 10, 700, 500, 100, typed);
        storeEarlierResult(*app.module, 3);
        app.form->Command3_Click();
        app.platform.messages.clear();

        QTest::mouseClick(app.form->Command5, Qt::LeftButton);
        QCOMPARE(app.platform.texts(), QStringList{text(digitize::msg::kNoData)});
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QCOMPARE(static_cast<int>(app.module->PickMode), 1);
        QCOMPARE(app.form->Picture1->MousePointer(), tk::kCrossPointer);
        QCOMPARE(static_cast<int>(app.module->PointCount), 3);
        QCOMPARE(static_cast<double>(app.module->DigitizedPoints(3).X), -3.0);
        QCOMPARE(static_cast<int>(app.module->DigitizedFlag), 0);
        QVERIFY(!app.module->form2Exists());
    }

    void aRunStoresOnePointPerColumnAndReportsBeforeTheFlag()
    {
        MainWindowFixture app;
        app.form->Picture1->setPicture(paperWithLine(1000, 300));
        calibrate(app, 100, 500, 600, 100, {"0", "0", "50", "８"});  // a full-width digit reads as 8
        app.form->Command4_Click();
        app.platform.messages.clear();
        int flagDuringMessage = -1, yieldsBeforeMessage = -1;
        app.platform.whileMessageShown = [&](const QString&) {
            flagDuringMessage = app.module->DigitizedFlag;
            yieldsBeforeMessage = app.platform.yields;
        };

        app.form->Command5_Click();
        QCOMPARE(app.platform.texts(), QStringList{text(digitize::msg::kFinished)});
        QCOMPARE(app.platform.messages[0].style, tk::kPlainMessage);
        QCOMPARE(flagDuringMessage, 0);
        QCOMPARE(yieldsBeforeMessage, 1);
        QCOMPARE(static_cast<int>(app.module->DigitizedFlag), 1);
        QCOMPARE(static_cast<int>(app.module->PickMode), 0);
        QCOMPARE(app.form->Picture1->MousePointer(), tk::kArrowPointer);

        QCOMPARE(static_cast<int>(app.module->PointCount), 497);  // columns 102 .. 598
        QCOMPARE(static_cast<double>(app.module->DigitizedPoints(1).X), 0.2);
        QCOMPARE(static_cast<double>(app.module->DigitizedPoints(249).X), 25.0);  // column 350
        QCOMPARE(static_cast<double>(app.module->DigitizedPoints(497).X), 49.8);
        for (int i : {1, 200, 497}) {
            QCOMPARE(static_cast<float>(app.module->CurvePixelY(i)), 300.0f);
            QCOMPARE(static_cast<double>(app.module->DigitizedPoints(i).Y), 4.0);
        }
        QVERIFY(app.module->form2Exists());
        QVERIFY(app.module->form2().isVisible());
    }

    void theCrosshairAndMarkersAreNotPartOfTheScan()
    {
        MainWindowFixture app;
        app.form->Picture1->setPicture(paperWithLine(1000, 400));
        calibrate(app, 100, 700, 300, 100, {"0", "0", "1", "1"});
        for (auto* line : {app.form->Line1, app.form->Line2, app.form->Line5, app.form->Line6}) line->setVisible(true);
        app.form->Line5->setY1(200);
        app.form->Line5->setY2(200);
        app.form->Command5_Click();
        for (int i = 1; i <= app.module->PointCount; ++i)
            QCOMPARE(static_cast<float>(app.module->CurvePixelY(i)), 400.0f);
    }

    void aBlankCountsAsFilledAndReadsZero()
    {
        MainWindowFixture app;
        app.form->Picture1->setPicture(paperWithLine(1000, 300));
        calibrate(app, 100, 500, 600, 100, {" ", "0", "50", "8"});
        app.form->Command5_Click();
        QCOMPARE(static_cast<double>(app.module->DigitizedPoints(249).X), 25.0);
    }

    void withoutPicksTheRunHasNoPointsButCompletes()
    {
        MainWindowFixture app;
        for (auto* box : {app.form->Text1, app.form->Text2, app.form->Text3, app.form->Text4}) box->setText("1");
        app.form->Command5_Click();
        QCOMPARE(app.platform.texts(), QStringList{text(digitize::msg::kFinished)});
        QCOMPARE(static_cast<int>(app.module->PointCount), 0);
        QCOMPARE(static_cast<int>(app.module->DigitizedFlag), 1);
    }

    void spanLimitIs1000Points()
    {
        MainWindowFixture app;
        calibrate(app, 0, 790, 1003, 10, {"0", "0", "1", "1"});
        app.form->Command5_Click();
        QCOMPARE(static_cast<int>(app.module->PointCount), 1000);

        calibrate(app, 0, 790, 1004, 10, {"0", "0", "1", "1"});
        app.platform.messages.clear();
        app.form->Command5_Click();
        QCOMPARE(app.platform.texts(), QStringList{text(digitize::msg::kTooWide)});
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QCOMPARE(static_cast<int>(app.module->PointCount), 1000);
    }

    void refusedRunsLeaveTheLastResultIntact_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("log Y from 0") << 2 << QStringList{"0", "0", "10", "100"} << text(digitize::msg::kLogYStartZero);
        QTest::newRow("log Y across 0") << 3 << QStringList{"1", "-1", "10", "100"} << text(digitize::msg::kLogYSign);
        QTest::newRow("log X from 0") << 3 << QStringList{"0", "1", "10", "100"} << text(digitize::msg::kLogXStartZero);
        QTest::newRow("overflow") << 1 << QStringList{"-1e308", "0", "1.7e308", "1"} << text(digitize::msg::kNotFinite);
    }

    void refusedRunsLeaveTheLastResultIntact()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        MainWindowFixture app;
        app.module->AxisScaleMode = std::int16_t(mode);
        calibrate(app, 100, 500, 600, 100, typed);
        storeEarlierResult(*app.module, 5);
        app.module->DigitizedFlag = 1;
        app.form->Command5_Click();
        QCOMPARE(app.platform.texts(), QStringList{message});
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QCOMPARE(static_cast<int>(app.module->PointCount), 5);
        QCOMPARE(static_cast<double>(app.module->DigitizedPoints(5).Y), -10.0);
        QCOMPARE(static_cast<float>(app.module->CurvePixelY(1)), 7.0f);
        QVERIFY(!app.module->form2Exists());
    }

    void aShorterRunLeavesTheRowsBeyondItsCount()
    {
        MainWindowFixture app;
        app.form->Picture1->setPicture(paperWithLine(1000, 300));
        storeEarlierResult(*app.module, 20);
        calibrate(app, 100, 500, 110, 100, {"0", "0", "1", "1"});
        app.form->Command5_Click();
        QCOMPARE(static_cast<int>(app.module->PointCount), 7);
        QCOMPARE(static_cast<float>(app.module->CurvePixelY(7)), 300.0f);
        QCOMPARE(static_cast<float>(app.module->CurvePixelY(8)), 7.0f);
        QCOMPARE(static_cast<double>(app.module->DigitizedPoints(20).X), -20.0);
    }
};

QTEST_MAIN(DigitizeButtonTest)
#include "digitize_button_test.moc"
