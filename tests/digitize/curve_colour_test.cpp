// Choosing the curve's colour in the main window: Ctrl + left click, the
// swatch above the image, the image area's menu, Reset, loading another image,
// and Digitize following the colour or refusing when it shows nowhere.

#include "MainWindowFixture.h"
#include "engine/digitize/DigitizeMessages.h"

#include <QMenu>
#include <QPainter>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

// White paper; a red curve three rows thick along row 300, a red legend
// sample and black legend text above it.
QImage graphWithLegend()
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 299, 800, 3), QColor(255, 0, 0));
    painter.fillRect(QRect(400, 120, 40, 2), QColor(255, 0, 0));
    painter.fillRect(QRect(450, 110, 80, 20), Qt::black);
    return image;
}

void calibrate(MainWindowFixture& app)
{
    app.module->StartPixelX = 50;
    app.module->StartPixelY = 550;
    app.module->EndPixelX = 750;
    app.module->EndPixelY = 50;
    app.form->Text1->setText("0");
    app.form->Text2->setText("0");
    app.form->Text3->setText("70");
    app.form->Text4->setText("50");
}

QAction* clearAction(const MainWindowFixture& app)
{
    for (QAction* action : app.form->imageAreaMenu->actions())
        if (action->text() == QStringLiteral("曲線の色を解除")) return action;
    return nullptr;
}

bool showsDarkestRule(const MainWindowFixture& app)
{
    return app.form->curveColourCaption->Caption() == QStringLiteral("曲線: 最も暗い点") &&
           app.form->curveColourSwatch->isHidden() && app.form->curveColourValues->isHidden();
}

}  // namespace

class CurveColourTest : public QObject {
    Q_OBJECT
private slots:
    void ctrlClickTakesTheColourAndDigitizeFollowsIt()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        QVERIFY(showsDarkestRule(app));
        app.form->Picture1->setPicture(graphWithLegend());
        calibrate(app);

        app.pressOnPicture(200, 300, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(app.module->curveColour.has_value());
        QCOMPARE(int(app.module->curveColour->red), 255);
        QCOMPARE(int(app.module->curveColour->green), 0);
        QCOMPARE(app.module->curveColour->x, 200);
        QCOMPARE(app.module->curveColour->y, 300);
        QCOMPARE(app.form->curveColourCaption->Caption(), QStringLiteral("曲線の色:"));
        QCOMPARE(app.form->curveColourValues->Caption(), QStringLiteral("255, 0, 0"));
        QVERIFY(app.form->curveColourSwatch->isVisible());
        QCOMPARE(app.form->curveColourSwatch->palette().color(QPalette::Window), QColor(255, 0, 0));
        // Beside the size hint, on its line, clear of the image area.
        QVERIFY(app.form->curveColourCaption->x() > app.form->Label9->geometry().right());
        QVERIFY(app.form->curveColourValues->geometry().bottom() < app.form->Picture1->y());
        QVERIFY(app.platform.messages.isEmpty());

        app.form->Command5_Click();
        QCOMPARE(static_cast<int>(app.module->PointCount), 697);
        for (int i = 1; i <= 697; ++i)
            if (static_cast<float>(app.module->CurvePixelY(i)) != 300.0f)
                QFAIL(qPrintable(QString("point %1 at row %2").arg(i).arg(float(app.module->CurvePixelY(i)))));
        QCOMPARE(static_cast<double>(app.module->DigitizedPoints(1).Y), 25.0);
    }

    void anArmedPickWinsOverCtrlClickAndRightClick()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Picture1->setPicture(graphWithLegend());
        app.form->Command3_Click();
        app.pressOnPicture(60, 540, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(static_cast<float>(app.module->StartPixelX), 60.0f);
        QCOMPARE(static_cast<float>(app.module->StartPixelY), 540.0f);
        QVERIFY(!app.module->curveColour.has_value());
        QVERIFY(showsDarkestRule(app));

        app.form->Command4_Click();
        app.pressOnPicture(740, 60, Qt::RightButton);
        QCOMPARE(static_cast<float>(app.module->EndPixelX), 740.0f);
        QVERIFY(!app.form->imageAreaMenu->isVisible());
    }

    void theImageMenuClearsTheColour()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Picture1->setPicture(graphWithLegend());
        QAction* clear = clearAction(app);
        QVERIFY(clear);
        QVERIFY(!clear->isEnabled());  // nothing to clear yet

        app.pressOnPicture(200, 300, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(clear->isEnabled());
        app.pressOnPicture(300, 200, Qt::RightButton);
        QTRY_VERIFY(app.form->imageAreaMenu->isVisible());
        clear->trigger();
        app.form->imageAreaMenu->hide();
        QVERIFY(!app.module->curveColour.has_value());
        QVERIFY(showsDarkestRule(app));
        QVERIFY(!clear->isEnabled());

        // A press and a release at different pixels is no click.
        QTest::mousePress(app.form->Picture1, Qt::RightButton, {},
                          app.form->Picture1->contentsRect().topLeft() + QPoint(10, 10));
        QTest::mouseRelease(app.form->Picture1, Qt::RightButton, {},
                            app.form->Picture1->contentsRect().topLeft() + QPoint(30, 10));
        QVERIFY(!app.form->imageAreaMenu->isVisible());
    }

    void resetGoesBackToTheDarkestPixel()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Picture1->setPicture(graphWithLegend());
        app.pressOnPicture(200, 300, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(app.module->curveColour.has_value());
        app.form->Command2_Click();
        QVERIFY(!app.module->curveColour.has_value());
        QVERIFY(showsDarkestRule(app));

        app.form->Picture1->setPicture(graphWithLegend());
        calibrate(app);
        app.form->Command5_Click();
        QCOMPARE(static_cast<float>(app.module->CurvePixelY(400 - 51)), 120.0f);  // the legend sample again
    }

    void loadingAnotherImageKeepsTheColour()
    {
        MainWindowFixture app([](const QDir& folder) {
            QVERIFY(graphWithLegend().save(folder.filePath("first.bmp")));
            QVERIFY(graphWithLegend().save(folder.filePath("second.bmp")));
        });
        QVERIFY(app.show());
        QVERIFY(app.clickFile("first.bmp"));
        app.pressOnPicture(200, 300, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(app.clickFile("second.bmp"));
        QVERIFY(app.module->curveColour.has_value());
        QCOMPARE(app.form->curveColourValues->Caption(), QStringLiteral("255, 0, 0"));
    }

    void onlyThePictureGivesAColour()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.pressOnPicture(320, 380, Qt::LeftButton, Qt::ControlModifier);  // the title, no picture
        QVERIFY(!app.module->curveColour.has_value());
        app.form->Picture1->setPicture(graphWithLegend());
        app.pressOnPicture(900, 700, Qt::LeftButton, Qt::ControlModifier);  // grey beyond the picture
        QVERIFY(!app.module->curveColour.has_value());
        app.pressOnPicture(200, 300, Qt::LeftButton);  // without Ctrl
        QVERIFY(!app.module->curveColour.has_value());
        // An erase that reaches into the grey does not make the grey picture.
        QTest::mousePress(app.form->Picture1, Qt::RightButton, {},
                          app.form->Picture1->contentsRect().topLeft() + QPoint(850, 650));
        QTest::mouseRelease(app.form->Picture1, Qt::RightButton, {},
                            app.form->Picture1->contentsRect().topLeft() + QPoint(950, 750));
        QVERIFY(app.form->canUndoErase());
        app.pressOnPicture(900, 700, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(!app.module->curveColour.has_value());
    }

    void thePaperIsRefusedAndAPaleFringeShowsTheLinesOwnShade()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        QImage graph = graphWithLegend();
        QPainter(&graph).fillRect(QRect(0, 298, 800, 1), QColor(255, 128, 128));  // the line's pale fringe
        app.form->Picture1->setPicture(graph);

        app.pressOnPicture(200, 298, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(app.module->curveColour.has_value());
        QCOMPARE(app.form->curveColourValues->Caption(), QStringLiteral("255, 0, 0"));
        QCOMPARE(int(app.module->curveColour->green), 0);
        QCOMPARE(app.module->curveColour->y, 299);  // the core's pixel, where the curve is followed from

        app.pressOnPicture(200, 400, Qt::LeftButton, Qt::ControlModifier);  // white paper beside the line
        QCOMPARE(app.platform.texts(), QStringList{QString::fromUtf8(digitize::msg::kPaperColour.data(),
                                                                     qsizetype(digitize::msg::kPaperColour.size()))});
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QCOMPARE(app.form->curveColourValues->Caption(), QStringLiteral("255, 0, 0"));
        QCOMPARE(app.module->curveColour->y, 299);
    }

    void aColourShownNowhereIsRefusedAndChangesNothing()
    {
        MainWindowFixture app;
        QVERIFY(app.show());
        app.form->Picture1->setPicture(graphWithLegend());
        app.pressOnPicture(480, 115, Qt::LeftButton, Qt::ControlModifier);  // black of the legend text
        QImage paper(800, 600, QImage::Format_RGB32);
        paper.fill(Qt::white);
        app.form->Picture1->setPicture(paper);
        calibrate(app);
        app.module->PointCount = 3;
        app.module->CurvePixelY(1) = 7.0f;

        app.form->Command5_Click();
        QCOMPARE(app.platform.texts(), QStringList{QString::fromUtf8(digitize::msg::kNoColourMatch.data(),
                                                                     qsizetype(digitize::msg::kNoColourMatch.size()))});
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QVERIFY(app.platform.texts()[0].startsWith(" --- ") && app.platform.texts()[0].endsWith(" --- "));
        QCOMPARE(static_cast<int>(app.module->PointCount), 3);
        QCOMPARE(static_cast<float>(app.module->CurvePixelY(1)), 7.0f);
        QCOMPARE(static_cast<int>(app.module->DigitizedFlag), 0);
        QVERIFY(!app.module->form2Exists());
        QVERIFY(app.module->curveColour.has_value());
    }
};

QTEST_MAIN(CurveColourTest)
#include "curve_colour_test.moc"
