// --project against the windows: a figure set up in the main window (a
// legend erased, an added reference point, curves by colour, markers),
// saved as a project, gives with the command line the very bytes that
// "すべての系列を保存" writes for it, as CSV and as JSON; one series gives
// today's one-series file; a project that cannot be used is refused.

#include "HeadlessProgram.h"
#include "MainWindowFixture.h"
#include "calibration/ReferenceList.h"
#include "engine/project/ProjectFile.h"
#include "results/Form2.h"
#include "results/Form3.h"

#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <cmath>
#include <sys/stat.h>

using namespace vastrel;
using testing::CommandRun;
using testing::MainWindowFixture;

namespace {

const QRect kPlot(62, 37, 480, 362);
const QRect kLegend(kPlot.right() - 130, kPlot.top() + 10, 110, 40);
const QColor kRed(220, 30, 30), kBlue(30, 30, 200), kGreen(0, 150, 0);
constexpr std::array kMarkers{0.15, 0.35, 0.55, 0.75, 0.9};

QPoint onPlot(double u, double v)
{
    return {kPlot.left() + int(std::lround(u * kPlot.width())), kPlot.bottom() - int(std::lround(v * kPlot.height()))};
}

double redAt(double u)
{
    return 0.25 + 0.1 * std::sin(5.0 * u);
}
double blueAt(double u)
{
    return 0.75 + 0.1 * std::cos(4.0 * u);
}

// Two smoothed curves, square markers between them and a dark legend box
// over a grey grid in a black frame.
QImage figure()
{
    QImage picture(600, 440, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    for (int k = 1; k < 5; ++k) {
        painter.drawLine(onPlot(k / 5.0, 0), onPlot(k / 5.0, 1));
        painter.drawLine(onPlot(0, k / 5.0), onPlot(1, k / 5.0));
    }
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(kPlot);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& [curve, colour] : {std::pair(&redAt, kRed), std::pair(&blueAt, kBlue)}) {
        QPainterPath path;
        path.moveTo(onPlot(0.01, curve(0.01)));
        for (double u = 0.02; u < 0.99; u += 0.01) path.lineTo(onPlot(u, curve(u)));
        painter.setPen(QPen(colour, 2.5));
        painter.drawPath(path);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const double u : kMarkers) painter.fillRect(QRect(onPlot(u, 0.5) - QPoint(4, 4), QSize(9, 9)), kGreen);
    painter.fillRect(kLegend, QColor(10, 10, 10));
    return picture;
}

CommandRun runCommand(const QStringList& arguments)
{
    return testing::runHeadless(QStringList{"digitize"} + arguments);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList kTexts{"0", "−1", "1e1", "1 V"};  // read as the boxes read them: 0, -1, 10, 1

// The legend erased with the right button, the picks with their texts typed.
bool calibrateInWindows(MainWindowFixture& app)
{
    if (!app.show() || !app.clickFile("figure.png")) return false;
    const auto inBox = [&](QPoint pixel) { return app.form->Picture1->contentsRect().topLeft() + pixel; };
    QTest::mousePress(app.form->Picture1, Qt::RightButton, {}, inBox(kLegend.topLeft() - QPoint(2, 2)));
    QTest::mouseMove(app.form->Picture1, inBox(kLegend.bottomRight() + QPoint(2, 2)));
    QTest::mouseRelease(app.form->Picture1, Qt::RightButton, {}, inBox(kLegend.bottomRight() + QPoint(2, 2)));
    QTest::mouseClick(app.form->Command3, Qt::LeftButton);
    app.pressOnPicture(kPlot.left(), kPlot.bottom());
    app.form->Text1->setText(kTexts[0]);
    app.form->Text2->setText(kTexts[1]);
    QTest::mouseClick(app.form->Command4, Qt::LeftButton);
    app.pressOnPicture(kPlot.right(), kPlot.top());
    app.form->Text3->setText(kTexts[2]);
    app.form->Text4->setText(kTexts[3]);
    return app.form->canUndoErase();
}

// The values of an added reference point typed into its cells in the
// reference list, which is then closed, as a user types and leaves them.
bool typeReference(MainWindowFixture& app, int row, const QString& x, const QString& y)
{
    shell::ReferenceList& list = app.form->referenceList();
    list.table->setFocus();  // the cell opened for typing closes
    QCoreApplication::processEvents();
    list.table->item(row, shell::ReferenceList::ValueX)->setText(x);
    list.table->item(row, shell::ReferenceList::ValueY)->setText(y);
    list.close();
    QCoreApplication::processEvents();
    const shell::AddedReference& added = app.module->addedReferences.at(std::size_t(row - 2));
    return added.typedX == x && added.typedY == y;
}

void digitizeColourAt(MainWindowFixture& app, QPoint pixel)
{
    app.pressOnPicture(pixel.x(), pixel.y(), Qt::LeftButton, Qt::ControlModifier);
    app.form->Command5->click();
}

// "すべての系列を保存" into the fixture's folder as name.csv and name.json.
bool saveAllFromWindows(MainWindowFixture& app, const QString& name)
{
    app.module->form2().saveAllSeriesAction->trigger();
    results::Form3& dialog = app.module->form3();
    if (!dialog.savesAllSeries() || !dialog.Dir2->setPath(app.folder().absolutePath())) return false;
    dialog.Text9->setText(name);
    dialog.Command6->click();
    return QFileInfo::exists(app.path(name + ".json"));
}

QString refusalOf(const CommandRun& run)
{
    return QString::fromUtf8(run.standardError).section(QLatin1Char('\n'), 0, 0);
}

}  // namespace

class CommandLineProjectTest : public QObject {
    Q_OBJECT
private slots:
    void aProjectGivesWhatTheWindowsSaveForAllSeries()
    {
        MainWindowFixture app([](const QDir& folder) { figure().save(folder.filePath("figure.png")); });
        QVERIFY(calibrateInWindows(app));
        // A third point on the foot, X 5: the mapping through three points.
        app.form->addReferencePoint();
        const QPoint foot = onPlot(0.5, 0);
        app.pressOnPicture(foot.x(), foot.y());
        QVERIFY(typeReference(app, 2, "5", "−1"));
        QTest::mouseClick(app.form->Option1, Qt::LeftButton);

        // The darkest pixel first, with the legend erased, then a colour.
        app.form->Command5->click();
        app.module->form2().keepSeriesAction->trigger();
        digitizeColourAt(app, onPlot(0.5, redAt(0.5)));
        app.module->form2().keepSeriesAction->trigger();
        const QPoint marker = onPlot(kMarkers[2], 0.5);
        app.pressOnPicture(marker.x(), marker.y(), Qt::RightButton);
        app.form->imageAreaMenu->hide();
        app.form->findMarkersAction->trigger();
        QCOMPARE(app.platform.texts().last(), QString(" --- マーカーを 5 個検出しました --- "));
        app.module->form2().keepSeriesAction->trigger();
        digitizeColourAt(app, onPlot(0.3, blueAt(0.3)));  // listed, not kept: saved all the same
        QVERIFY2(app.module->series.all().size() == 4, qPrintable(app.platform.texts().join("|")));
        app.module->series.kept[1].name = "red, \"fitted\"";  // a name the CSV must quote
        QVERIFY(app.form->saveProjectTo(app.path("figure.vdproj")));
        QVERIFY(saveAllFromWindows(app, "all"));
        const QByteArray table = contents(app.path("all.csv")), json = contents(app.path("all.json"));
        QVERIFY(table.contains("\r\n\"red, \"\"fitted\"\"\", "));

        const QStringList project{app.path("figure.png"), "--project", app.path("figure.vdproj")};
        const CommandRun csv = runCommand(project);
        QCOMPARE(csv.standardError, QByteArray());
        QCOMPARE(csv.exitCode, 0);
        QCOMPARE(csv.standardOutput, table);
        const CommandRun described = runCommand(project + QStringList{"--format=json"});
        QCOMPARE(described.exitCode, 0);
        QCOMPARE(described.standardOutput, json);
        // Named after the image in a folder, it ends in .json.
        QCOMPARE(runCommand(project + QStringList{"--format", "json", "-o", app.path("out/")}).exitCode, 0);
        QCOMPARE(contents(app.path("out/figure.json")), json);

        // The points come from the image, not the project: points moved by
        // hand there are found again where the picture has them.
        app.module->series.kept[2].points[0].y += 3;
        QVERIFY(app.form->saveProjectTo(app.path("moved.vdproj")));
        QCOMPARE(runCommand({app.path("figure.png"), "--project", app.path("moved.vdproj")}).standardOutput, table);
        // The erasures are painted before the darkest pixel is sought: the
        // legend, left, is taken for the curve.
        project::Project unerased = app.form->currentProject(app.folder());
        unerased.erasures.clear();
        QFile saved(app.path("unerased.vdproj"));
        const QByteArray bytes = project::projectJson(unerased, "test");
        QVERIFY(saved.open(QIODevice::WriteOnly) && saved.write(bytes) == bytes.size());
        saved.close();
        const CommandRun withLegend = runCommand({app.path("figure.png"), "--project", app.path("unerased.vdproj")});
        QCOMPARE(withLegend.exitCode, 0);
        QVERIFY(withLegend.standardOutput != table);
    }

    void oneSeriesGivesTodaysFile()
    {
        MainWindowFixture app([](const QDir& folder) { figure().save(folder.filePath("figure.png")); });
        QVERIFY(calibrateInWindows(app));
        const QPoint red = onPlot(0.5, redAt(0.5));
        digitizeColourAt(app, red);
        QVERIFY(app.form->saveProjectTo(app.path("one.vdproj")));
        // "データ保存", then "File Save".
        app.module->form2().Command6->click();
        results::Form3& dialog = app.module->form3();
        QVERIFY(dialog.Dir2->setPath(app.folder().absolutePath()));
        dialog.Text9->setText("one");
        dialog.Command6->click();
        const QByteArray saved = contents(app.path("one.csv"));
        QVERIFY(saved.startsWith("X, Y\r\n"));
        QVERIFY(saved.count("\r\n") > 100);
        app.module->form2().keepSeriesAction->trigger();
        QVERIFY(saveAllFromWindows(app, "all"));

        const QString image = app.path("figure.png");
        const CommandRun run = runCommand({image, "--project", app.path("one.vdproj")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.standardOutput, saved);
        const QRect& l = kLegend;
        const QString erase = QStringLiteral("%1,%2,%3,%4").arg(l.left() - 2).arg(l.top() - 2);
        const CommandRun today = runCommand(
            {image, "--start", QStringLiteral("%1,%2").arg(kPlot.left()).arg(kPlot.bottom()), "--end",
             QStringLiteral("%1,%2").arg(kPlot.right()).arg(kPlot.top()), "--x1", kTexts[0], "--y1", kTexts[1], "--x2",
             kTexts[2], "--y2", kTexts[3], "--erase", erase.arg(l.right() + 2).arg(l.bottom() + 2), "--colour-at",
             QStringLiteral("%1,%2").arg(red.x()).arg(red.y())});
        QCOMPARE(today.exitCode, 0);
        QCOMPARE(today.standardOutput, saved);
        QCOMPARE(runCommand({image, "--project", app.path("one.vdproj"), "--format", "json"}).standardOutput,
                 contents(app.path("all.json")));
    }

    void aProjectThatCannotBeUsedIsRefusedByName()
    {
        MainWindowFixture app([](const QDir& folder) { figure().save(folder.filePath("figure.png")); });
        QVERIFY(calibrateInWindows(app));
        QVERIFY(app.form->saveProjectTo(app.path("good.vdproj")));
        const QByteArray good = contents(app.path("good.vdproj"));
        const auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile file(app.path(name));
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        QVERIFY(write("cut.vdproj", good.left(good.size() / 2)));
        QVERIFY(write("newer.vdproj", QByteArray(good).replace("\"version\": 1", "\"version\": 2")));
        QVERIFY(write("no-end.vdproj", QByteArray(good).replace(QByteArray("\"end\": {"), "\"end\": null, \"x\": {")));
        QVERIFY(write("blank.vdproj", QByteArray(good).replace("\"1 V\"", "\"\"")));
        QFile large(app.path("large.vdproj"));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize((qint64(64) << 20) + 1));
        large.close();
        QVERIFY(::mkfifo(QFile::encodeName(app.path("fifo.vdproj")).constData(), 0600) == 0);
        QVERIFY(QDir(app.path("")).mkdir("folder.vdproj"));

        const QList<std::pair<QString, QString>> cases{
            {"cut.vdproj", "JSON として読めません"},
            {"newer.vdproj", "新しい版のプログラムで保存されたプロジェクトです"},
            {"no-end.vdproj", "it has no end point"},
            {"blank.vdproj", "its end Y is empty"},
            {"large.vdproj", "it is larger than the 64 MiB a project may be"},
            {"fifo.vdproj", "it is not a regular file"},
            {"folder.vdproj", "it is a folder"},
            {"missing.vdproj", "No such file or directory"},
        };
        for (const auto& [name, reason] : cases) {
            const CommandRun run = runCommand({app.path("figure.png"), "--project", app.path(name), "-o", "x.csv"});
            QCOMPARE(run.exitCode, 2);
            QCOMPARE(run.standardOutput, QByteArray());
            const QString said = refusalOf(run);
            QVERIFY2(said.startsWith("vastrel-digitizer: cannot use the project " + app.path(name) + ": " + reason),
                     qPrintable(said));
            QVERIFY(!QFileInfo::exists(app.path("x.csv")));
        }
        // The good one, for the darkest pixel's curve without series.
        QCOMPARE(runCommand({app.path("figure.png"), "--project", app.path("good.vdproj")}).exitCode, 0);
    }
};

QTEST_MAIN(CommandLineProjectTest)
#include "command_line_project_test.moc"
