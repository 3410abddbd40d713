// The digitize command against the windows: the same image, picks, typed
// texts and scale mode give the very same CSV bytes whether a user clicks
// through the main window, "Digitize" and the save dialog, or runs the built
// program without any display.

#include "HeadlessProgram.h"
#include "MainWindowFixture.h"
#include "results/Form2.h"
#include "results/Form3.h"

#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

using namespace vastrel;
using testing::CommandRun;
using testing::MainWindowFixture;

namespace {

const QStringList kModeNames = {"linear-linear", "linear-log", "log-log", "log-linear"};

// A dark box at the top right of the plotting area, where legends sit.
QRect legendOf(QRect plot)
{
    return {plot.right() - plot.width() / 4, plot.top() + 10, plot.width() / 5, 40};
}

// A graph as scanners and plotting programs give them: a grey grid, a black
// frame, a dark curve drawn with smoothing, and the legend box, darker than
// the curve where they share columns.
QImage graphPicture(QSize size, QImage::Format format, QRect plot, QColor paper = Qt::white,
                    QColor ink = QColor(20, 40, 150))
{
    QImage picture(size, format);
    picture.fill(paper);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    for (int k = 1; k < 5; ++k) {
        const int x = plot.left() + plot.width() * k / 5, y = plot.top() + plot.height() * k / 5;
        painter.drawLine(x, plot.top(), x, plot.bottom());
        painter.drawLine(plot.left(), y, plot.right(), y);
    }
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(plot);
    QPainterPath curve;
    curve.moveTo(plot.left() + 3, plot.center().y());
    for (int x = plot.left() + 4; x < plot.right() - 2; ++x) {
        const double u = double(x - plot.left()) / plot.width();
        curve.lineTo(x, plot.bottom() - plot.height() * (0.5 + 0.4 * std::sin(7.0 * u) * (1.0 - 0.5 * u)));
    }
    painter.setPen(QPen(ink, 2.5));
    painter.drawPath(curve);
    painter.fillRect(legendOf(plot), QColor(10, 10, 10));
    return picture;
}

struct Calibration {
    QPoint start, end;
    QStringList typed;  // start X, start Y, end X, end Y, as typed into the boxes
    int mode;           // 1 .. 4: the option button chosen
    // Where the curve's colour is taken (Ctrl + click); none for the darkest pixel.
    std::optional<QPoint> colourAt = std::nullopt;
};

QStringList commandArguments(const QString& image, const Calibration& c)
{
    QStringList colour;
    if (c.colourAt) colour << "--colour-at" << QStringLiteral("%1,%2").arg(c.colourAt->x()).arg(c.colourAt->y());
    return QStringList{"digitize",
                       image,
                       QStringLiteral("--start=%1,%2").arg(c.start.x()).arg(c.start.y()),
                       QStringLiteral("--end=%1,%2").arg(c.end.x()).arg(c.end.y()),
                       "--x1=" + c.typed[0],
                       "--y1",
                       c.typed[1],
                       "--x2",
                       c.typed[2],
                       "--y2=" + c.typed[3],
                       "--mode",
                       kModeNames[c.mode - 1]} +
           colour;
}

CommandRun runCommand(const QStringList& arguments)
{
    return testing::runHeadless(arguments);
}

// The user's road in the main window: the file box, the scale mode, both
// picks with their typed coordinates, and "Digitize".
bool digitizeInWindows(MainWindowFixture& app, const QString& file, const Calibration& c, bool load = true,
                       const std::function<void()>& beforeDigitize = {})
{
    if (load && (!app.show() || !app.clickFile(file))) return false;
    tk::OptionButton* options[] = {app.form->Option1, app.form->Option2, app.form->Option3, app.form->Option4};
    QTest::mouseClick(options[c.mode - 1], Qt::LeftButton);
    QTest::mouseClick(app.form->Command3, Qt::LeftButton);
    app.pressOnPicture(c.start.x(), c.start.y());
    app.form->Text1->setText(c.typed[0]);
    app.form->Text2->setText(c.typed[1]);
    QTest::mouseClick(app.form->Command4, Qt::LeftButton);
    app.pressOnPicture(c.end.x(), c.end.y());
    app.form->Text3->setText(c.typed[2]);
    app.form->Text4->setText(c.typed[3]);
    if (c.colourAt) app.pressOnPicture(c.colourAt->x(), c.colourAt->y(), Qt::LeftButton, Qt::ControlModifier);
    if (beforeDigitize) beforeDigitize();
    app.platform.messages.clear();
    QTest::mouseClick(app.form->Command5, Qt::LeftButton);
    return true;
}

// "データ保存", then "File Save" into the fixture's folder under `name`.
QByteArray saveFromWindows(MainWindowFixture& app, const QString& name)
{
    QTest::mouseClick(app.module->form2().Command6, Qt::LeftButton);
    results::Form3& dialog = app.module->form3();
    if (!dialog.Dir2->setPath(app.folder().absolutePath())) return {};
    dialog.Text9->setText(name);
    QTest::mouseClick(dialog.Command6, Qt::LeftButton);
    QFile saved(app.path(name + ".csv"));
    return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
}

}  // namespace

Q_DECLARE_METATYPE(Calibration)

class CommandLineMatchesWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void sameImageSameBytes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<Calibration>("calibration");

        const QRect plot(62, 37, 480, 362);
        const Calibration linear{{62, 398}, {541, 37}, {"-2.5", "10", "7,5", "2.6e2 V"}, 1};
        const Calibration linearLog{{62, 398}, {541, 37}, {"0", "０.01", "50", "1000"}, 2};
        const Calibration logLog{{62, 398}, {541, 37}, {"1", "0.5", "1e3", "5000"}, 3};
        const QImage rgb = graphPicture({600, 440}, QImage::Format_RGB32, plot);
        QTest::newRow("linear-linear bmp") << "graph.bmp" << rgb << linear;
        QTest::newRow("linear-log tif") << "graph.tif" << rgb << linearLog;
        QTest::newRow("log-log jpg") << "graph.jpg" << rgb << logLog;
        const Calibration logLinear{{62, 398}, {541, 37}, {"10", "-40", "1e5", "20 dB"}, 4};
        QTest::newRow("log-linear png") << "graph.png" << rgb << logLinear;
        // The curve found by its colour, the legend darker than it ignored.
        const QImage red = graphPicture({600, 440}, QImage::Format_RGB32, plot, Qt::white, QColor(220, 30, 30));
        Calibration byColour = logLinear;
        byColour.colourAt = QPoint(plot.left() + 4, plot.center().y());
        QTest::newRow("log-linear png by colour") << "red.png" << red << byColour;
        byColour.mode = 1;
        QTest::newRow("linear-linear jpg by colour") << "red.jpg" << red << byColour;
        // Transparent paper shows the image area's grey through it.
        QTest::newRow("linear-log transparent tif")
            << "clear.tif" << graphPicture({600, 440}, QImage::Format_ARGB32, plot, Qt::transparent) << linearLog;
        // Larger than the image area: only the part shown is read, out to
        // the area's last column and row; 1000 points, the most a run holds.
        const QRect wide(1, 3, 1003, 799);
        QTest::newRow("1000 points of a cut-off bmp")
            << "large.bmp" << graphPicture({1300, 1000}, QImage::Format_RGB32, wide)
            << Calibration{{1, 802}, {1004, 3}, {"0", "1", "1000", "1e-3"}, 2};
    }

    void sameImageSameBytes()
    {
        QFETCH(QString, file);
        QFETCH(QImage, picture);
        QFETCH(Calibration, calibration);
        MainWindowFixture app([&](const QDir& folder) { picture.save(folder.filePath(file)); });
        QVERIFY(QFileInfo::exists(app.path(file)));
        QVERIFY(digitizeInWindows(app, file, calibration));
        QCOMPARE(app.platform.texts(), QStringList{" --- DIGITIZE が終了しました。--- "});
        const QByteArray fromWindows = saveFromWindows(app, "windows");
        QVERIFY(fromWindows.startsWith("X, Y\r\n"));
        QVERIFY(fromWindows.count("\r\n") > 100);

        const CommandRun run = runCommand(commandArguments(app.path(file), calibration) << "-o" << app.path("cli.csv"));
        QCOMPARE(run.exitCode, 0);
        // Only the decimal comma, read as the boxes read it, is worth a warning.
        const QByteArray warning = calibration.typed.contains("7,5")
                                       ? "vastrel-digitizer: warning: --x2 \"7,5\" reads as 7: \",5\" is not part of "
                                         "the number\n"
                                       : "";
        QCOMPARE(run.standardError, warning);
        QFile fromCommand(app.path("cli.csv"));
        QVERIFY(fromCommand.open(QIODevice::ReadOnly));
        QCOMPARE(fromCommand.readAll(), fromWindows);
        // Without -o, the same bytes on standard output.
        QCOMPARE(runCommand(commandArguments(app.path(file), calibration)).standardOutput, fromWindows);
        if (calibration.colourAt) {
            // The chosen colour mattered: the darker legend would have been taken.
            calibration.colourAt.reset();
            QVERIFY(runCommand(commandArguments(app.path(file), calibration)).standardOutput != fromWindows);
        }
    }

    void aRefusalIsTheWindowsRefusal_data()
    {
        QTest::addColumn<Calibration>("calibration");
        QTest::newRow("log Y from 0") << Calibration{{62, 398}, {541, 37}, {"0", "0", "10", "100"}, 2};
        QTest::newRow("too wide") << Calibration{{0, 398}, {1004, 37}, {"0", "0", "10", "100"}, 1};
    }

    void aRefusalIsTheWindowsRefusal()
    {
        QFETCH(Calibration, calibration);
        const QImage picture = graphPicture({600, 440}, QImage::Format_RGB32, QRect(62, 37, 480, 362));
        MainWindowFixture app([&](const QDir& folder) { picture.save(folder.filePath("graph.bmp")); });
        QVERIFY(digitizeInWindows(app, "graph.bmp", calibration));
        QCOMPARE(app.platform.messages.size(), 1);
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        const QString refusal = app.platform.messages[0].text;

        const CommandRun run =
            runCommand(commandArguments(app.path("graph.bmp"), calibration) << "-o" << app.path("cli.csv"));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.standardOutput, QByteArray());
        QVERIFY2(QString::fromUtf8(run.standardError).contains(app.path("graph.bmp") + ": refused:" + refusal),
                 run.standardError.constData());
        QVERIFY(!QFileInfo::exists(app.path("cli.csv")));
    }

    // The same rectangles erased with the right button in the main window
    // and with --erase.
    void anErasedLegendIsErasedAlike()
    {
        const QRect plot(62, 37, 480, 362);
        const QRect legend = legendOf(plot);
        const QImage picture = graphPicture({600, 440}, QImage::Format_RGB32, plot);
        MainWindowFixture app([&](const QDir& folder) { picture.save(folder.filePath("graph.bmp")); });
        QVERIFY(app.show() && app.clickFile("graph.bmp"));
        // Corners in either order; the second rectangle only partly lies in
        // the area; together they cover the legend.
        const QPoint firstFrom = legend.bottomRight(), firstTo(legend.left(), legend.top() + 20);
        const QPoint secondFrom(legend.left(), -50), secondTo(legend.right(), legend.top() + 20);
        const auto inBox = [&](QPoint pixel) { return app.form->Picture1->contentsRect().topLeft() + pixel; };
        for (const auto& [from, to] : {std::pair(firstFrom, firstTo), std::pair(secondFrom, secondTo)}) {
            QTest::mousePress(app.form->Picture1, Qt::RightButton, {}, inBox(from));
            QTest::mouseMove(app.form->Picture1, inBox(to));
            QTest::mouseRelease(app.form->Picture1, Qt::RightButton, {}, inBox(to));
        }
        QVERIFY(app.form->canUndoErase());
        const Calibration calibration{{62, 398}, {541, 37}, {"0", "0", "10", "100"}, 1};
        QVERIFY(digitizeInWindows(app, "graph.bmp", calibration, false));
        const QByteArray fromWindows = saveFromWindows(app, "windows");

        const QString corners = QStringLiteral("%1,%2,%3,%4");
        const QStringList erasures = {
            "--erase", corners.arg(firstFrom.x()).arg(firstFrom.y()).arg(firstTo.x()).arg(firstTo.y()),
            "--erase=" + corners.arg(secondFrom.x()).arg(secondFrom.y()).arg(secondTo.x()).arg(secondTo.y())};
        const CommandRun run = runCommand(commandArguments(app.path("graph.bmp"), calibration) + erasures);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.standardOutput, fromWindows);
        // And the legend does change the result when it stays.
        QVERIFY(runCommand(commandArguments(app.path("graph.bmp"), calibration)).standardOutput != fromWindows);
    }

    // A page scanned 2 degrees crooked: the frame's other corners found and a
    // fifth point added in the windows, --frame-corners and --ref on the
    // command line; the page read along its own axes alike.
    void aTiltedPageIsReadAlongItsAxesAlike()
    {
        const QRect plot(62, 37, 480, 362);
        const QTransform tilt = QTransform().translate(20, 30).rotate(-2);
        QImage page = testing::filledImage({640, 500}, Qt::white);
        {
            QPainter painter(&page);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.setTransform(tilt);
            painter.drawImage(0, 0, graphPicture({600, 440}, QImage::Format_RGB32, plot));
        }
        MainWindowFixture app([&](const QDir& folder) { page.save(folder.filePath("tilted.png")); });
        const QPoint start = tilt.map(QPointF(plot.bottomLeft())).toPoint(),
                     end = tilt.map(QPointF(plot.topRight())).toPoint();
        const Calibration calibration{start, end, {"0", "0", "10", "100"}, 1};
        const QPoint fifth = tilt.map(QPointF(plot.center().x(), plot.bottom())).toPoint();  // X 5 on the foot
        QVERIFY(digitizeInWindows(app, "tilted.png", calibration, true, [&] {
            app.form->frameCornersAction->trigger();
            app.form->addReferencePoint();
            app.pressOnPicture(fifth.x(), fifth.y());
            app.module->addedReferences.back().typedX = "5";
            app.module->addedReferences.back().typedY = "0";
        }));
        QCOMPARE(app.module->addedReferences.size(), 3u);
        QCOMPARE(app.platform.texts(), QStringList{" --- DIGITIZE が終了しました。--- "});
        const QByteArray fromWindows = saveFromWindows(app, "windows");

        const QStringList more{"--frame-corners", QStringLiteral("--ref=%1,%2,5,0").arg(fifth.x()).arg(fifth.y())};
        const CommandRun run = runCommand(commandArguments(app.path("tilted.png"), calibration) + more);
        QVERIFY2(run.exitCode == 0, run.standardError.constData());
        QCOMPARE(run.standardError, QByteArray());
        QCOMPARE(run.standardOutput, fromWindows);
        // The corners mattered: with the two picks alone the page reads otherwise.
        QVERIFY(runCommand(commandArguments(app.path("tilted.png"), calibration)).standardOutput != fromWindows);
    }

    void aColourOffThePictureIsReportedForThatImage()
    {
        const QImage picture = graphPicture({600, 440}, QImage::Format_RGB32, QRect(62, 37, 480, 362));
        MainWindowFixture app([&](const QDir& folder) { picture.save(folder.filePath("graph.png")); });
        Calibration calibration{{62, 398}, {541, 37}, {"0", "0", "10", "100"}, 1};
        calibration.colourAt = QPoint(700, 100);  // on the grey beyond the picture
        const CommandRun run = runCommand(commandArguments(app.path("graph.png"), calibration));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.standardOutput, QByteArray());
        QVERIFY2(run.standardError.contains("--colour-at 700,100 lies outside the image (600 × 440 pixels)"),
                 run.standardError.constData());
    }
};

QTEST_MAIN(CommandLineMatchesWindowsTest)
#include "command_line_matches_windows_test.moc"
