// "軸を自動検出" in the main window: a graph drawn by ploticus calibrates
// itself (picks, texts, mode, found points, the grid) and is digitized; a
// graph without Y labels is refused by axis and changes nothing.

#include "MainWindowFixture.h"

#include <QFile>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

struct Window {
    MainWindowFixture app{[](const QDir& folder) {
        for (const char* name : {"ploticus-logy.png", "gnuplot-unlabelled-y.png"})
            QVERIFY(QFile::copy(QStringLiteral(VASTREL_AXIS_GRAPHS "/") + name, folder.filePath(name)));
    }};
    shell::Form1& form = *app.form;
};

}  // namespace

class AxesDetectionTest : public QObject {
    Q_OBJECT
private slots:
    void aGraphCalibratesItselfAndIsDigitized()
    {
        Window w;
        QVERIFY(w.app.show() && w.app.clickFile("ploticus-logy.png"));
        w.form.detectAxesAction->trigger();
        QVERIFY(w.app.platform.messages.isEmpty());
        // X 0 .. 8 linear, Y 1 .. 10⁴ logarithmic, on the frame's corners.
        QCOMPARE(w.form.Text1->Text() + " " + w.form.Text2->Text() + " " + w.form.Text3->Text() + " " +
                     w.form.Text4->Text(),
                 QString("0 1 8 10000"));
        QVERIFY(w.form.Option2->isChecked());
        QCOMPARE(int(w.app.module->AxisScaleMode), 2);
        QVERIFY(qAbs(w.app.module->StartPixelX - 110) < 1 && qAbs(w.app.module->StartPixelY - 500) < 1);
        QVERIFY(qAbs(w.app.module->EndPixelX - 750) < 1 && qAbs(w.app.module->EndPixelY - 50) < 1);
        const auto& added = w.app.module->addedReferences;
        QVERIFY(added.size() >= 8);
        QVERIFY(std::all_of(added.begin(), added.end(), [](const shell::AddedReference& p) { return p.found; }));
        QVERIFY(w.form.gridShown());

        w.form.Command5_Click();
        QCOMPARE(w.app.platform.texts().last(), QString(" --- DIGITIZE が終了しました。--- "));
        QVERIFY(w.app.module->PointCount > 600);
    }

    void unreadableLabelsAreRefusedByAxisAndChangeNothing()
    {
        Window w;
        QVERIFY(w.app.show() && w.app.clickFile("gnuplot-unlabelled-y.png"));
        w.form.Text1->setText("7");
        w.form.detectAxesAction->trigger();
        QCOMPARE(w.app.platform.messages.size(), 1);
        QVERIFY(w.app.platform.messages[0].text.contains("Y軸"));
        QCOMPARE(w.form.Text1->Text(), QString("7"));
        QVERIFY(w.app.module->addedReferences.empty());
        QVERIFY(!w.form.gridShown());
    }
};

QTEST_MAIN(AxesDetectionTest)
#include "axes_detection_test.moc"
