// Projects in the windows: what is saved comes back exactly and saves again
// byte for byte; a damaged project, a pipe or a missing image changes
// nothing until the user has chosen; an image that changed is said so.

#include "MainWindowFixture.h"
#include "SeriesGraph.h"
#include "engine/image/FileDigest.h"
#include "results/Form2.h"

#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include <sys/stat.h>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

// The drawing area as shown, erasures included.
QImage shown(const shell::Form1& form)
{
    const image::PixelView view = form.Picture1->pixels();
    return QImage(reinterpret_cast<const uchar*>(view.pixels), view.width, view.height, qsizetype(view.stride) * 4,
                  QImage::Format_RGB32)
        .copy();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything a user sets up: picks, values, a log axis, an erasure, a
// colour, an added reference point and a kept series beside the latest.
void setUp(MainWindowFixture& app)
{
    shell::Form1& form = *app.form;
    form.Command3->click();
    app.pressOnPicture(50, 550);
    form.Command4->click();
    app.pressOnPicture(750, 50);
    form.Text1->setText("0");
    form.Text2->setText("1");
    form.Text3->setText("70");
    form.Text4->setText("1e3 ");
    form.Option2->click();
    QTest::mousePress(form.Picture1, Qt::RightButton, {}, form.Picture1->contentsRect().topLeft() + QPoint(290, 90));
    QTest::mouseMove(form.Picture1, form.Picture1->contentsRect().topLeft() + QPoint(330, 110));
    QTest::mouseMove(form.Picture1, form.Picture1->contentsRect().topLeft() + QPoint(370, 130));
    QTest::mouseRelease(form.Picture1, Qt::RightButton, {}, form.Picture1->contentsRect().topLeft() + QPoint(370, 130));
    app.pressOnPicture(200, 300, Qt::LeftButton, Qt::ControlModifier);
    form.Command5->click();
    app.module->form2().keepSeriesAction->trigger();
    form.Command5->click();
    app.module->addedReferences.push_back({50.0, 50.0, "0", "1000", true});
}

}  // namespace

class ProjectWindowTest : public QObject {
    Q_OBJECT
private slots:
    void aSavedProjectComesBackExactlyAndSavesAgainByteForByte()
    {
        MainWindowFixture app(testing::drawSeriesGraph);
        QVERIFY(app.show());
        QVERIFY(app.clickFile("graph.png"));
        setUp(app);
        const QImage erased = shown(*app.form);
        QCOMPARE(erased.pixelColor(330, 110), QColor(Qt::white));  // the legend erased
        app.platform.fileChoices = {app.path("first")};
        app.form->saveProjectAction->trigger();
        QCOMPARE(app.platform.fileDialogs, QStringList{"プロジェクトを保存"});
        QCOMPARE(app.platform.texts().last(), QString(" プロジェクトは保存されました "));
        const QByteArray saved = contents(app.path("first.vdproj"));
        QVERIFY(saved.contains("\"path\": \"graph.png\""));

        app.form->Command2->click();  // Reset: nothing of it left
        QVERIFY(app.form->Text1->Text().isEmpty());
        app.platform.fileChoices = {app.path("first.vdproj")};
        app.form->openProjectAction->trigger();
        QCOMPARE(app.form->Text4->Text(), QString("1e3 "));
        QVERIFY(app.form->Option2->Value());
        QCOMPARE(int(app.module->AxisScaleMode), 2);
        QCOMPARE(float(app.module->EndPixelX), 750.0f);
        QCOMPARE(app.form->Label14->Caption(), QString("50"));
        QCOMPARE(shown(*app.form), erased);
        QCOMPARE(app.module->curveColour->green, std::uint8_t(150));
        QCOMPARE(app.module->addedReferences.size(), std::size_t(1));
        QCOMPARE(app.module->series.kept.size(), std::size_t(2));
        QVERIFY(app.module->form2().isVisible());
        QCOMPARE(app.module->form2().seriesChoice->count(), 2);

        QVERIFY(app.form->saveProjectTo(app.path("second.vdproj")));
        QCOMPARE(contents(app.path("second.vdproj")), saved);
    }

    void whatCannotBeOpenedChangesNothing()
    {
        MainWindowFixture app(testing::drawSeriesGraph);
        QVERIFY(app.show());
        QVERIFY(app.clickFile("graph.png"));
        setUp(app);
        QVERIFY(app.form->saveProjectTo(app.path("good")));
        const QByteArray good = contents(app.path("good.vdproj"));
        const QImage before = shown(*app.form);
        app.form->Text1->setText("5");

        QFile damaged(app.path("damaged.vdproj"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(good).replace("\"version\": 1", "\"version\": 7"));
        damaged.close();
        QVERIFY(!app.form->openProjectFile(app.path("damaged.vdproj")));
        QVERIFY(app.platform.texts().last().startsWith(" --- プロジェクトを開けません --- "));
        QVERIFY(::mkfifo(QFile::encodeName(app.path("pipe.vdproj")).constData(), 0600) == 0);
        QVERIFY(!app.form->openProjectFile(app.path("pipe.vdproj")));
        QVERIFY(app.platform.texts().last().endsWith("ファイルではありません"));
        QCOMPARE(app.form->Text1->Text(), QString("5"));
        QCOMPARE(shown(*app.form), before);

        // The image gone: said so, and choosing none changes nothing.
        QVERIFY(QFile::rename(app.path("graph.png"), app.path("moved.png")));
        QVERIFY(!app.form->openProjectFile(app.path("good.vdproj")));
        QVERIFY(app.platform.texts().last().contains("プロジェクトの画像が見つかりません"));
        QCOMPARE(app.platform.fileDialogs.last(), QString("プロジェクトの画像を選ぶ"));
        QCOMPARE(app.form->Text1->Text(), QString("5"));
        // Chosen again where it went, it is taken with everything else.
        app.platform.fileChoices = {app.path("moved.png")};
        QVERIFY(app.form->openProjectFile(app.path("good.vdproj")));
        QCOMPARE(app.form->Text1->Text(), QString("0"));
        QCOMPARE(app.module->imageSha256, *image::sha256OfFile(app.path("moved.png")));

        // Other bytes under the saved name are told apart from the saved ones.
        QVERIFY(QImageWriter(app.path("graph.png")).write(testing::filledImage({80, 60}, Qt::white)));
        QVERIFY(!app.form->openProjectFile(app.path("good.vdproj")));
        QVERIFY(app.platform.texts().last().contains("保存したときと変わっています"));
    }
};

QTEST_MAIN(ProjectWindowTest)
#include "project_window_test.moc"
