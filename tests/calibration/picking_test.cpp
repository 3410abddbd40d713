// Arming and taking the reference-point picks.

#include "MainWindowFixture.h"

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

const QString kArmStart = " --- グラフ上で 始点（左下） をマウスクリックして下さい --- ";
const QString kArmEnd = " --- グラフ上で 終点（右上） をマウスクリックして下さい --- ";
const QString kEnterStart = " ---  始点の座標を入力して下さい  ---  ";
const QString kEnterEnd = " ---  終点の座標を入力して下さい  ---  ";

QWidget* focused()
{
    return QApplication::focusWidget();
}

}  // namespace

class PickingTest : public QObject {
    Q_OBJECT
private slots:
    void aPressWithNothingArmedChangesNothing()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        QWidget* before = focused();
        app.pressOnPicture(100, 200);
        QVERIFY(app.platform.messages.isEmpty());
        QVERIFY(!app.module->StartPixelX.isSet());
        QVERIFY(app.form->Label11->Caption().isEmpty());
        QVERIFY(!app.form->Line1->Visible());
        QCOMPARE(focused(), before);
    }

    void startPickStoresMarksAndAsksForCoordinates()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        bool markerShownBehindMessage = false;
        app.platform.whileMessageShown = [&](const QString& text) {
            if (text == kEnterStart)
                markerShownBehindMessage = app.form->Line1->Visible() && app.form->Line2->Visible();
        };
        QTest::mouseClick(app.form->Command3, Qt::LeftButton);
        QCOMPARE(app.platform.texts(), QStringList{kArmStart});
        QCOMPARE(app.platform.messages[0].style, tk::kPlainMessage);
        QCOMPARE(static_cast<int>(app.module->PickMode), 1);
        QCOMPARE(app.form->Picture1->cursor().shape(), Qt::CrossCursor);

        app.pressOnPicture(245, 610);
        QCOMPARE(static_cast<float>(app.module->StartPixelX), 245.0f);
        QCOMPARE(static_cast<float>(app.module->StartPixelY), 610.0f);
        QCOMPARE(app.form->Label11->Caption(), QString("245"));
        QCOMPARE(app.form->Label12->Caption(), QString("610"));
        QCOMPARE(app.form->Line1->X1(), 237.0f);
        QCOMPARE(app.form->Line1->X2(), 253.0f);
        QCOMPARE(app.form->Line1->Y1(), 610.0f);
        QCOMPARE(app.form->Line2->Y1(), 602.0f);
        QCOMPARE(app.form->Line2->Y2(), 618.0f);
        QCOMPARE(app.form->Line2->X1(), 245.0f);
        QVERIFY(markerShownBehindMessage);
        QCOMPARE(app.platform.texts(), QStringList({kArmStart, kEnterStart}));
        QCOMPARE(static_cast<int>(app.module->PickMode), 0);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text1));
        QCOMPARE(app.form->Picture1->cursor().shape(), Qt::CrossCursor);
        QVERIFY(!app.module->EndPixelX.isSet());
    }

    void anyButtonAndModifierPicks_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("right") << int(Qt::RightButton) << 0;
        QTest::newRow("middle") << int(Qt::MiddleButton) << 0;
        QTest::newRow("shift") << int(Qt::LeftButton) << int(Qt::ShiftModifier);
        QTest::newRow("ctrl+alt") << int(Qt::LeftButton) << int(Qt::ControlModifier | Qt::AltModifier);
    }

    void anyButtonAndModifierPicks()
    {
        QFETCH(int, button);
        QFETCH(int, modifiers);
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Command4_Click();
        app.pressOnPicture(700, 90, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(static_cast<float>(app.module->EndPixelX), 700.0f);
        QCOMPARE(static_cast<float>(app.module->EndPixelY), 90.0f);
        QCOMPARE(app.form->Label13->Caption(), QString("700"));
        QCOMPARE(app.form->Label14->Caption(), QString("90"));
        QVERIFY(app.form->Line3->Visible() && app.form->Line4->Visible());
        QCOMPARE(app.platform.texts().last(), kEnterEnd);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(app.form->Text3));
    }

    void theLastArmingCounts()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Command3_Click();
        app.form->Command4_Click();
        QCOMPARE(app.platform.texts(), QStringList({kArmStart, kArmEnd}));
        app.pressOnPicture(500, 50);
        QVERIFY(!app.module->StartPixelX.isSet());
        QCOMPARE(static_cast<float>(app.module->EndPixelX), 500.0f);
        QVERIFY(!app.form->Line1->Visible());
    }

    void pickingAgainMovesTheMarkerAndKeepsTheTypedValues()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Command3_Click();
        app.pressOnPicture(100, 500);
        app.form->Text1->setText("0");
        app.form->Text2->setText("1.5");
        app.form->Command3_Click();
        app.pressOnPicture(3, 700);
        QCOMPARE(static_cast<float>(app.module->StartPixelX), 3.0f);
        QCOMPARE(app.form->Label11->Caption(), QString("3"));
        QCOMPARE(app.form->Line1->X1(), -5.0f);
        QCOMPARE(app.form->Line1->X2(), 11.0f);
        QCOMPARE(app.form->Text1->Text(), QString("0"));
        QCOMPARE(app.form->Text2->Text(), QString("1.5"));
    }

    void crosshairFollowsOnlyWhileArmed()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.moveOverPicture(300, 300);
        QVERIFY(!app.form->Line5->Visible());
        app.form->Command3_Click();
        app.moveOverPicture(420, 130);
        QTRY_VERIFY(app.form->Line5->Visible());
        QVERIFY(app.form->Line6->Visible());
        QCOMPARE(app.form->Line5->Y1(), 130.0f);
        QCOMPARE(app.form->Line5->Y2(), 130.0f);
        QCOMPARE(app.form->Line5->X1(), 0.0f);
        QCOMPARE(app.form->Line5->X2(), 1000.0f);
        QCOMPARE(app.form->Line6->X1(), 420.0f);
        QCOMPARE(app.form->Line6->Y2(), 800.0f);
        // The crosshair is an overlay: the scan never sees it.
        QCOMPARE(app.form->Picture1->Point(420, 300), 0xC0C0C0);

        app.pressOnPicture(420, 130);
        QVERIFY(app.form->Line5->Visible());
        app.moveOverPicture(430, 140);
        QTRY_VERIFY(!app.form->Line5->Visible());
        QVERIFY(!app.form->Line6->Visible());
        QCOMPARE(app.form->Picture1->cursor().shape(), Qt::CrossCursor);
    }

    void resetKeepsAnArmedPick()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Command4_Click();
        app.form->Command2_Click();
        QCOMPARE(app.form->Picture1->cursor().shape(), Qt::ArrowCursor);
        app.moveOverPicture(200, 200);
        QTRY_VERIFY(app.form->Line6->Visible());
        app.pressOnPicture(210, 220);
        QCOMPARE(static_cast<float>(app.module->EndPixelX), 210.0f);
        QVERIFY(app.form->Line3->Visible());
        QCOMPARE(app.form->Label13->Caption(), QString("210"));
    }
};

QTEST_MAIN(PickingTest)
#include "picking_test.moc"
