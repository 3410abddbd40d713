// The keyboard path through the coordinate boxes, the scale mode and Reset.

#include "MainWindowFixture.h"

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

QWidget* focused()
{
    return QApplication::focusWidget();
}

}  // namespace

class CoordinatesResetTest : public QObject {
    Q_OBJECT
private slots:
    void enterWalksTheBoxesToTheNextStep()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Text1->setFocus();
        QTest::keyClicks(app.form->Text1, "12abc");
        QTest::keyClick(app.form->Text1, Qt::Key_Return, Qt::ShiftModifier);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text2));
        QTest::keyClick(app.form->Text2, Qt::Key_Enter, Qt::ControlModifier);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Command4));
        app.form->Text3->setFocus();
        QTest::keyClick(app.form->Text3, Qt::Key_Return);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text4));
        QTest::keyClick(app.form->Text4, Qt::Key_Return);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Command5));
        QCOMPARE(app.form->Text1->Text(), QString("12abc"));
        QVERIFY(app.platform.messages.isEmpty());
    }

    void otherKeysOnlyType()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Text1->setFocus();
        QTest::keyClicks(app.form->Text1, "-1.5e3");
        QTest::keyClick(app.form->Text1, Qt::Key_Tab);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text2));
        QCOMPARE(app.form->Text1->Text(), QString("-1.5e3"));
    }

    void choosingAScaleModeStoresItAndGoesToTheStartButton()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        QTest::mouseClick(app.form->Option3, Qt::LeftButton);
        QCOMPARE(static_cast<int>(app.module->AxisScaleMode), 3);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Command3));
        QTest::mouseClick(app.form->Option2, Qt::LeftButton);
        QCOMPARE(static_cast<int>(app.module->AxisScaleMode), 2);
        app.form->Command2->setFocus();
        QTest::mouseClick(app.form->Option1, Qt::LeftButton);
        QCOMPARE(static_cast<int>(app.module->AxisScaleMode), 1);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Command3));
    }

    void logLinearIsModeFourUntilReset()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        QTest::mouseClick(app.form->Option4, Qt::LeftButton);
        QCOMPARE(static_cast<int>(app.module->AxisScaleMode), 4);
        QVERIFY(!app.form->Option3->Value());
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Command3));
        app.form->Command2_Click();
        QVERIFY(app.form->Option1->Value());
        QVERIFY(!app.form->Option4->Value());
        QCOMPARE(static_cast<int>(app.module->AxisScaleMode), 1);
    }

    void aScaleModeChosenByKeyMovesOnAndEnterArmsTheStartPick()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        const auto press = [](QWidget* on, Qt::Key key) {
            on->setFocus();
            QTRY_COMPARE(focused(), on);
            QTest::keyClick(on, key);
        };
        press(app.form->Option1, Qt::Key_Down);
        QCOMPARE(static_cast<int>(app.module->AxisScaleMode), 2);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Command3));
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(static_cast<int>(app.module->PickMode), 1);
        QCOMPARE(app.platform.texts(), QStringList(" --- グラフ上で 始点（左下） をマウスクリックして下さい --- "));

        press(app.form->Option2, Qt::Key_Up);
        QCOMPARE(static_cast<int>(app.module->AxisScaleMode), 1);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Command3));
    }

    void boxesEnteredByTheProgramHaveTheirTextSelected()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        for (auto* box : {app.form->Text1, app.form->Text2, app.form->Text3, app.form->Text4}) box->setText("100");
        QTest::mouseClick(app.form->Command3, Qt::LeftButton);
        app.pressOnPicture(40, 700);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text1));
        QCOMPARE(app.form->Text1->Text(), QString("100"));  // unchanged until the user types
        QTest::keyClicks(focused(), "0.5");
        QTest::keyClick(focused(), Qt::Key_Return);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text2));
        QTest::keyClicks(focused(), "2");
        QTest::mouseClick(app.form->Command4, Qt::LeftButton);
        app.pressOnPicture(900, 30);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text3));
        QTest::keyClicks(focused(), "7");
        QTest::keyClick(focused(), Qt::Key_Return);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text4));
        QTest::keyClicks(focused(), "9");
        QCOMPARE(app.form->Text1->Text(), QString("0.5"));
        QCOMPARE(app.form->Text2->Text(), QString("2"));
        QCOMPARE(app.form->Text3->Text(), QString("7"));
        QCOMPARE(app.form->Text4->Text(), QString("9"));

        // A click into a box puts the cursor where it lands, as before.
        QTest::mouseClick(app.form->Text1, Qt::LeftButton, {}, QPoint(app.form->Text1->width() - 4, 12));
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text1));
        QTest::keyClicks(focused(), "1");
        QCOMPARE(app.form->Text1->Text(), QString("0.51"));
    }

    void resetBringsBackTheStartingLook()
    {
        MainWindowFixture app([](const QDir& folder) {
            testing::filledImage(QSize(400, 300), Qt::white).save(folder.filePath("g.bmp"));
        });
        QVERIFY(app.show());
        QVERIFY(app.clickFile("g.bmp"));
        app.form->Command3_Click();
        app.pressOnPicture(50, 250);
        app.form->Command4_Click();
        app.pressOnPicture(350, 20);
        for (auto* box : {app.form->Text1, app.form->Text2, app.form->Text3, app.form->Text4}) box->setText("1");
        app.module->DigitizedFlag = 1;
        app.module->PointCount = 7;
        app.module->DigitizedPoints(7).X = 2.5;

        QTest::mouseClick(app.form->Command2, Qt::LeftButton);
        const auto& picture = *app.form->Picture1;
        QCOMPARE(picture.Point(10, 10), 0xC0C0C0);
        QVERIFY(picture.Picture().isNull());
        for (auto* line :
             {app.form->Line1, app.form->Line2, app.form->Line3, app.form->Line4, app.form->Line5, app.form->Line6})
            QVERIFY(!line->Visible());
        for (auto* box : {app.form->Text1, app.form->Text2, app.form->Text3, app.form->Text4})
            QVERIFY(box->Text().isEmpty());
        for (auto* label : {app.form->Label11, app.form->Label12, app.form->Label13, app.form->Label14})
            QVERIFY(label->Caption().isEmpty());
        QCOMPARE(static_cast<int>(app.module->DigitizedFlag), 0);
        QCOMPARE(picture.cursor().shape(), Qt::ArrowCursor);
        bool title = false;
        for (int x = 300; x < 700 && !title; ++x) title = picture.Point(x, 390) == 0x808080;
        QVERIFY(title);
        // What Reset keeps: the picks and the last result.
        QCOMPARE(static_cast<float>(app.module->StartPixelX), 50.0f);
        QCOMPARE(static_cast<float>(app.module->EndPixelY), 20.0f);
        QCOMPARE(static_cast<int>(app.module->PointCount), 7);
        QCOMPARE(static_cast<double>(app.module->DigitizedPoints(7).X), 2.5);
        QCOMPARE(app.form->File1->FileName(), QString("g.bmp"));
        QVERIFY(app.platform.messages.size() == 4);
    }

    void resetFocusDependsOnWhetherTheScaleModeChanged()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Command2->setFocus();
        QTest::keyClick(app.form->Command2, Qt::Key_Space);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Command2));
        QCOMPARE(static_cast<int>(app.module->AxisScaleMode), 1);

        app.form->Option3->setValue(true);
        app.form->Command2->setFocus();
        QTest::keyClick(app.form->Command2, Qt::Key_Space);
        QVERIFY(app.form->Option1->Value());
        QCOMPARE(static_cast<int>(app.module->AxisScaleMode), 1);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Command3));
    }
};

QTEST_MAIN(CoordinatesResetTest)
#include "coordinates_reset_test.moc"
