// Reference points beside the start and end points, in the main window and
// the list "基準点": picked, typed, tied to the boxes, found on a drawn
// frame, and shown as a grid that the scan never reads.

#include "MainWindowFixture.h"
#include "calibration/ReferenceList.h"

#include <QImageWriter>
#include <QPainter>

using namespace vastrel;
using testing::MainWindowFixture;
using List = shell::ReferenceList;

namespace {

const QString kArm = " --- グラフ上で 基準点 をマウスクリックして下さい --- ";
const QString kNoData = " --- データが入力されていません --- ";

// A 600 x 400 frame from (100, 500), tilted by 2 degrees, with a dark blue
// curve from its lower left to its upper right.
QImage tiltedFrame()
{
    QImage image = testing::filledImage({900, 700}, Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(QTransform().translate(100, 500).rotate(-2));
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawRect(QRectF(0, -400, 600, 400));
    painter.setPen(QPen(QColor(20, 20, 140), 2));
    painter.drawLine(QPointF(0, 0), QPointF(600, -400));
    return image;
}

QPointF onPage(double x, double y)
{
    return QTransform().translate(100, 500).rotate(-2).map(QPointF(x, y)) - QPointF(0.5, 0.5);
}

struct Window {
    MainWindowFixture app{[](const QDir& folder) {
        QVERIFY(QImageWriter(folder.filePath("frame.png")).write(tiltedFrame()));
        QVERIFY(QImageWriter(folder.filePath("blank.png")).write(testing::filledImage({300, 200}, Qt::white)));
    }};
    shell::Form1& form = *app.form;

    bool ready() { return app.show() && app.clickFile("frame.png"); }
    void pick(QAbstractButton* arm, QPointF at, const QString& x, const QString& y, tk::TextBox* boxX,
              tk::TextBox* boxY)
    {
        QTest::mouseClick(arm, Qt::LeftButton);
        app.pressOnPicture(int(std::lround(at.x())), int(std::lround(at.y())));
        boxX->setText(x);
        boxY->setText(y);
    }
    // Both corners picked on the frame, X 0 .. 10 and Y 0 .. 100 typed.
    void calibrate()
    {
        pick(form.Command3, onPage(0, 0), "0", "0", form.Text1, form.Text2);
        pick(form.Command4, onPage(600, -400), "10", "100", form.Text3, form.Text4);
    }
    QString cell(int row, int column) { return form.referenceList().table->item(row, column)->text(); }
    void type(int row, int column, const QString& text)
    {
        form.referenceList().table->item(row, column)->setText(text);
    }
};

}  // namespace

class ReferencePointsTest : public QObject {
    Q_OBJECT
private slots:
    void anAddedPointIsPickedTypedPickedAgainAndDeleted()
    {
        Window w;
        QVERIFY(w.ready());
        w.calibrate();
        w.app.platform.messages.clear();
        w.form.addReferenceAction->trigger();
        QCOMPARE(int(w.app.module->PickMode), 3);
        QCOMPARE(w.form.Picture1->MousePointer(), tk::kCrossPointer);
        w.app.moveOverPicture(120, 110);
        QVERIFY(w.form.Line5->Visible());  // the crosshair, as for the corners
        w.app.pressOnPicture(114, 101);
        QCOMPARE(w.app.platform.texts(), (QStringList{kArm, " ---  基準点 3 の座標を入力して下さい  ---  "}));
        QCOMPARE(int(w.app.module->PickMode), 0);
        List& list = w.form.referenceList();
        QTRY_VERIFY(list.isVisible());
        QCOMPARE(list.table->rowCount(), 3);
        QCOMPARE(w.cell(2, List::PixelX), QString("114"));
        QCOMPARE(w.cell(2, List::PixelY), QString("101"));

        // Without its values Digitize refuses, as with an empty box.
        w.app.platform.messages.clear();
        w.form.Command5_Click();
        QCOMPARE(w.app.platform.texts(), QStringList{kNoData});
        QCOMPARE(int(w.app.module->DigitizedFlag), 0);

        w.type(2, List::ValueX, "0");
        w.type(2, List::ValueY, "100");
        QCOMPARE(w.app.module->addedReferences[0].typedY, QString("100"));
        QVERIFY(!w.cell(2, List::Residual).isEmpty());  // three points fit exactly
        QCOMPARE(w.cell(2, List::Residual), QString("0.00"));

        // Picked again, elsewhere: the values stay, the marker moves.
        list.table->selectRow(2);
        list.pickAgainButton->click();
        w.app.pressOnPicture(300, 300);
        QCOMPARE(w.cell(2, List::PixelX), QString("300"));
        QCOMPARE(w.cell(2, List::ValueY), QString("100"));
        QCOMPARE(list.table->rowCount(), 3);

        list.table->selectRow(2);
        list.deleteButton->click();
        QCOMPARE(list.table->rowCount(), 2);
        QVERIFY(w.app.module->addedReferences.empty());
    }

    void theStartAndEndRowsAreTheBoxesBothWays()
    {
        Window w;
        QVERIFY(w.ready());
        w.calibrate();
        w.form.showReferenceList();
        QCOMPARE(w.cell(1, List::ValueY), QString("100"));
        QCOMPARE(w.cell(0, List::PixelX), w.form.Label11->Caption());
        w.form.Text4->setText("250");
        QCOMPARE(w.cell(1, List::ValueY), QString("250"));
        w.type(0, List::ValueX, "-5");
        QCOMPARE(w.form.Text1->Text(), QString("-5"));
        // A row the boxes own is never deleted.
        w.form.referenceList().table->selectRow(0);
        QVERIFY(!w.form.referenceList().deleteButton->isEnabled());
    }

    void theFrameCornersAreFoundAndKeptAcrossImagesUntilReset()
    {
        Window w;
        QVERIFY(w.ready());
        w.calibrate();
        w.form.frameCornersAction->trigger();
        const auto& added = w.app.module->addedReferences;
        QCOMPARE(added.size(), 2u);
        const QPointF upperLeft = onPage(0, -400), lowerRight = onPage(600, 0);
        QVERIFY(qAbs(added[0].x - upperLeft.x()) < 0.5 && qAbs(added[0].y - upperLeft.y()) < 0.5);
        QVERIFY(qAbs(added[1].x - lowerRight.x()) < 0.5 && qAbs(added[1].y - lowerRight.y()) < 0.5);
        QCOMPARE(w.cell(2, List::Number), QString("3 検出"));
        QCOMPARE(w.cell(2, List::ValueX) + "," + w.cell(2, List::ValueY), QString("0,100"));
        QCOMPARE(w.cell(3, List::ValueX) + "," + w.cell(3, List::ValueY), QString("10,0"));

        // The diagonal curve read along the page's own axes: Y = 10 X.
        w.app.platform.messages.clear();
        w.form.Command5_Click();
        QCOMPARE(w.app.platform.texts(), QStringList{" --- DIGITIZE が終了しました。--- "});
        for (int i = 20; i < int(w.app.module->PointCount) - 20; i += 40)
            QVERIFY2(qAbs(w.app.module->DigitizedPoints(i).Y - 10 * w.app.module->DigitizedPoints(i).X) < 1.0,
                     qPrintable(QString::number(i)));

        // Another image keeps the points; on a blank one no frame is found
        // and nothing changes.
        QVERIFY(w.app.clickFile("blank.png"));
        QCOMPARE(added.size(), 2u);
        w.app.platform.messages.clear();
        w.form.frameCornersAction->trigger();
        QCOMPARE(w.app.platform.messages.size(), 1);
        QVERIFY(w.app.platform.messages[0].text.contains("枠の線が見つかりません"));
        QCOMPARE(added.size(), 2u);

        w.form.Command2_Click();
        QVERIFY(w.app.module->addedReferences.empty());
        QCOMPARE(w.form.referenceList().table->rowCount(), 2);
    }

    void theGridIsShownOverThePictureAndNeverRead()
    {
        Window w;
        QVERIFY(w.ready());
        w.calibrate();
        w.form.frameCornersAction->trigger();
        w.form.Command5_Click();
        QList<double> without;
        for (int i = 1; i <= int(w.app.module->PointCount); ++i) without.append(w.app.module->DigitizedPoints(i).Y);
        const QImage shownWithout = w.form.Picture1->grab().toImage();

        w.form.gridAction->trigger();
        QVERIFY(w.form.gridShown() && w.form.gridAction->isChecked());
        const QImage shownWith = w.form.Picture1->grab().toImage();
        QVERIFY(shownWith != shownWithout);  // the grid is on the screen ...
        w.form.Command5_Click();
        QList<double> with;
        for (int i = 1; i <= int(w.app.module->PointCount); ++i) with.append(w.app.module->DigitizedPoints(i).Y);
        QCOMPARE(with, without);  // ... and not in what the scan reads
        // Its lines stand where the fitted axes put the round values: X = 5
        // crosses the frame's foot half way along it.
        const QPoint foot = (onPage(300, -100) + QPointF(w.form.Picture1->contentsRect().topLeft())).toPoint();
        bool onTheLine = false;
        for (int dx = -1; dx <= 1; ++dx) onTheLine |= shownWith.pixelColor(foot + QPoint(dx, 0)) == QColor(230, 0, 230);
        QVERIFY(onTheLine);
        w.form.gridAction->trigger();
        QVERIFY(!w.form.gridShown());
    }
};

QTEST_MAIN(ReferencePointsTest)
#include "reference_points_test.moc"
