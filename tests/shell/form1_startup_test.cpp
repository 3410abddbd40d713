// The main window as it comes up, and the end of the program.

#include "RecordingPlatform.h"
#include "engine/image/DrawingArea.h"
#include "results/Form2.h"
#include "results/Form3.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "toolkit/Fonts.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vastrel;

class Form1StartupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tk::installFontSubstitutes(); }

    void windowHasItsCaptionAndFixedClientArea()
    {
        testing::RecordingPlatform platform;
        shell::Module1 module(platform);
        shell::Form1 form(module);
        QCOMPARE(form.windowTitle(), QString("  Vastrel Digitizer"));
        QCOMPARE(form.size(), QSize(1295, 847));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void controlsStandWhereTheLayoutPutsThem()
    {
        testing::RecordingPlatform platform;
        shell::Module1 module(platform);
        shell::Form1 form(module);
        const struct {
            QWidget* control;
            QRect at;
            QString caption;
        } expected[] = {
            {form.Command6, {48, 696, 193, 33}, "Digitized Graph"},
            {form.Command7, {48, 744, 73, 33}, "END"},
            {form.Command5, {48, 632, 193, 49}, "Digitize"},
            {form.Command4, {16, 552, 33, 49}, "終点"},
            {form.Command3, {16, 488, 33, 49}, "始点"},
            {form.Command2, {144, 256, 89, 33}, "Reset"},
            {form.Command1, {32, 256, 89, 33}, "OK"},
            {form.Frame1, {40, 304, 193, 149}, "Scale Mode 設定"},
            {form.Option1, {24, 48, 137, 17}, "Linear - Linear"},
            {form.Option2, {24, 72, 137, 17}, "Linear - Log"},
            {form.Option3, {24, 96, 121, 17}, "Log - Log"},
            {form.Option4, {24, 120, 137, 17}, "Log - Linear"},
            {form.Label5, {40, 24, 92, 23}, "X軸   -   Ｙ軸"},
            {form.Label8, {120, 468, 108, 23}, "Graph      Pixel"},
            {form.Label9, {280, 5, 270, 16}, "適用最大画像 1000×800 ピクセル"},
            {form.Label6, {56, 32, 176, 24}, "グラフ画像ファイル選択"},
            {form.Label7, {48, 460, 64, 24}, "座標設定"},
            {form.Label16, {24, 28, 21, 31}, "①"},
            {form.Label17, {16, 308, 21, 31}, "②"},
            {form.Label15, {16, 456, 21, 31}, "③"},
            {form.Label18, {16, 640, 21, 31}, "④"},
            {form.Label1, {48, 488, 57, 25}, "X座標"},
            {form.Label4, {48, 576, 57, 25}, "Y座標"},
            {form.Text1, {104, 488, 73, 25}, ""},
            {form.Text4, {104, 576, 73, 25}, ""},
            {form.Label11, {176, 488, 73, 25}, ""},
            {form.Label14, {176, 576, 73, 25}, ""},
            {form.Picture1, {272, 24, 1009, 809}, ""},
            {form.Picture2, {216, 784, 32, 32}, ""},
            {form.Drive1, {24, 64, 217, 23}, ""},
            {form.Dir1, {24, 88, 217, 74}, ""},
            {form.File1, {24, 160, 217, 86}, ""},
        };
        for (const auto& control : expected) {
            QCOMPARE(control.control->geometry(), control.at);
            QString caption = control.control->property("text").toString();
            if (auto* frame = qobject_cast<QGroupBox*>(control.control)) caption = frame->title();
            QCOMPARE(caption, control.caption);
        }
        QCOMPARE(form.Command7->toolTip(), QString("  bye bye  "));
        QCOMPARE(form.Command3->toolTip(), QString("  始点(左下)を指定  "));
        QCOMPARE(form.Command4->toolTip(), QString("  終点(右上)を指定  "));
        QCOMPARE(form.File1->Pattern(), QString("*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png"));
        QCOMPARE(form.Picture1->font().italic(), true);
    }

    void startUpLeavesTheCalibrationEmpty()
    {
        testing::RecordingPlatform platform;
        shell::Module1 module(platform);
        shell::Form1 form(module);
        for (auto* line : {form.Line1, form.Line2, form.Line3, form.Line4, form.Line5, form.Line6})
            QVERIFY(!line->Visible());
        for (auto* box : {form.Text1, form.Text2, form.Text3, form.Text4}) QVERIFY(box->Text().isEmpty());
        for (auto* label : {form.Label11, form.Label12, form.Label13, form.Label14})
            QVERIFY(label->Caption().isEmpty());
        QVERIFY(form.Option1->Value());
        QCOMPARE(static_cast<int>(module.PickMode), 0);
        QCOMPARE(static_cast<int>(module.AxisScaleMode), 1);
        QCOMPARE(static_cast<int>(module.DigitizedFlag), 0);
        QVERIFY(!module.PointCount.isSet());
        QVERIFY(!module.StartPixelX.isSet());
        QCOMPARE(form.Picture1->MousePointer(), 0);
        QVERIFY(platform.messages.isEmpty());
        QVERIFY(!module.form2Exists());
        QVERIFY(!module.form3Exists());
        QCOMPARE(form.Line5->Y1(), 360.0f);
        QCOMPARE(form.Line6->X1(), 240.0f);
        QCOMPARE(form.Line6->Y2(), 800.0f);
    }

    void aVanishedStartFolderFallsBackToTheHomeFolder()
    {
        const QString previous = QDir::currentPath();
        {
            QTemporaryDir gone;
            QVERIFY(QDir::setCurrent(gone.path()));
            QVERIFY(gone.remove());
            testing::RecordingPlatform platform;
            shell::Module1 module(platform);
            shell::Form1 form(module);
            QCOMPARE(form.Dir1->Path(), QDir(QDir::homePath()).canonicalPath());
            QCOMPARE(form.File1->Path(), form.Dir1->Path());
        }
        QDir::setCurrent(previous);
    }

    void titleIsPrintedInGreyAtItsPlace()
    {
        testing::RecordingPlatform platform;
        shell::Module1 module(platform);
        shell::Form1 form(module);
        const auto* picture = form.Picture1;
        int title = 0, elsewhere = 0;
        for (int y = 0; y < 800; y += 2) {
            for (int x = 0; x < 1000; x += 2) {
                if (picture->Point(x, y) == 0xC0C0C0) continue;
                const bool inTitle = x >= 300 && x < 800 && y >= 360 && y < 430;
                (inTitle ? title : elsewhere) += 1;
            }
        }
        QVERIFY2(title > 300, qPrintable(QString("only %1 title pixels").arg(title)));
        QCOMPARE(elsewhere, 0);
        QCOMPARE(picture->Point(301 + 20, 362), 0xC0C0C0);  // above the cap height the grey shows
    }

    // The command line builds the surface the scan reads without any window;
    // it must be the very surface the image area shows.
    void imageAreaMatchesTheDisplayFreeDrawingArea()
    {
        testing::RecordingPlatform platform;
        shell::Module1 module(platform);
        shell::Form1 form(module);
        QCOMPARE(form.Picture1->drawingSize(), image::kDrawingAreaSize);
        QCOMPARE(tk::toQColor(form.Picture1->BackColor()).rgb(), image::kDrawingAreaBackground);
    }

    void focusStartsOnTheDriveBoxAndFollowsTheTabOrder()
    {
        testing::RecordingPlatform platform;
        shell::Module1 module(platform);
        shell::Form1 form(module);
        form.Show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.Drive1));
        const QList<QWidget*> order = {form.Dir1,     form.File1,    form.Command1, form.Command2, form.Text1,
                                       form.Text2,    form.Text3,    form.Text4,    form.Command3, form.Command4,
                                       form.Command5, form.Command7, form.Picture1, form.Option1,  form.Command6};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void endAndTheCloseBoxEndTheProcessWithEveryWindow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("END") << "end";
        QTest::newRow("close box") << "close";
    }

    void endAndTheCloseBoxEndTheProcessWithEveryWindow()
    {
        QFETCH(QString, how);
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"--end-child", how});
        QVERIFY(child.waitForFinished(20000));
        const QString output = QString::fromUtf8(child.readAll());
        QVERIFY2(output.contains("windows shown: 3"), qPrintable(output));
        QVERIFY2(!output.contains("still running"), qPrintable(output));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }
};

// The child opens all three windows, then ends the program as a user would.
static int runEndChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    tk::DesktopPlatform platform;
    shell::Module1 module(platform);
    shell::Form1 form(module);
    form.Show();
    module.form2().Show();
    module.form3().Show();
    if (!QTest::qWaitForWindowExposed(&module.form3())) return 4;
    std::printf("windows shown: %d\n",
                int(form.isVisible()) + int(module.form2().isVisible()) + int(module.form3().isVisible()));
    std::fflush(stdout);
    if (QString(argv[2]) == "end")
        QTest::mouseClick(form.Command7, Qt::LeftButton);
    else
        form.close();
    std::printf("still running\n");
    return 3;
}

int main(int argc, char** argv)
{
    if (argc >= 3 && QString(argv[1]) == "--end-child") return runEndChild(argc, argv);
    QApplication app(argc, argv);
    Form1StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "form1_startup_test.moc"
