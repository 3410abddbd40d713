// Several series in the result window: a single run stays what it was; a
// run kept with "系列に追加" and the next one are plotted in their own
// colours, chosen above the list, saved one at a time or all together with
// their JSON, copied together; new references convert the kept ones again.

#include "MainWindowFixture.h"
#include "SeriesGraph.h"
#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/SeriesRun.h"
#include "engine/image/FileDigest.h"
#include "engine/results/CsvFile.h"
#include "engine/results/RowText.h"
#include "engine/results/SeriesTable.h"
#include "results/Form2.h"
#include "results/Form3.h"

#include <QClipboard>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <array>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

// X 0 .. 70 over columns 50 .. 750, Y 0 .. 50 over rows 550 .. 50.
void calibrate(MainWindowFixture& app, const QString& topY = "50")
{
    app.module->StartPixelX = 50;
    app.module->StartPixelY = 550;
    app.module->EndPixelX = 750;
    app.module->EndPixelY = 50;
    app.form->Text1->setText("0");
    app.form->Text2->setText("0");
    app.form->Text3->setText("70");
    app.form->Text4->setText(topY);
}

void digitizeCurveAt(MainWindowFixture& app, int x, int y)
{
    app.pressOnPicture(x, y, Qt::LeftButton, Qt::ControlModifier);
    app.form->Command5->click();
}

QStringList menuOf(const results::Form2& window)
{
    QStringList offered;
    for (const QAction* action : window.List1->actions()) offered.append(action->text());
    return offered;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QColor plotted(results::Form2& window, int x, int y)
{
    return window.Picture1->grab().toImage().pixelColor(window.Picture1->contentsRect().topLeft() + QPoint(x, y));
}

}  // namespace

class SeriesWindowTest : public QObject {
    Q_OBJECT
private slots:
    void keptSeriesArePlottedChosenSavedAndCopiedTogether()
    {
        MainWindowFixture app(testing::drawSeriesGraph);
        QVERIFY(app.show());
        QVERIFY(app.clickFile("graph.png"));
        calibrate(app);
        digitizeCurveAt(app, 200, 300);
        results::Form2& window = app.module->form2();
        QCOMPARE(app.platform.texts().last(), QString::fromUtf8(digitize::msg::kFinished.data()));

        // A single run: the window of a single run, with a way to keep it.
        QVERIFY(window.seriesChoice->isHidden());
        QCOMPARE(window.List1->geometry(), QRect(1032, 40, 249, 669));
        QCOMPARE(menuOf(window), (QStringList{"コピー", "系列に追加"}));
        const int firstRows = window.List1->ListCount();
        QCOMPARE(window.List1->List(0), QString::fromStdString(results::resultListRow(0.2, 25.0)));

        window.keepSeriesAction->trigger();
        QVERIFY(window.seriesChoice->isVisible());
        QCOMPARE(window.seriesChoice->count(), 1);
        QCOMPARE(window.seriesChoice->itemText(0), QString("系列 1"));
        QVERIFY(window.List1->geometry().top() > window.seriesChoice->geometry().bottom());
        QCOMPARE(menuOf(window), (QStringList{"コピー", "系列の名前を変更", "すべての系列を保存", "すべての系列をコピー"}));

        // The next colour is the next series, listed until it is kept.
        digitizeCurveAt(app, 200, 200);
        QCOMPARE(window.seriesChoice->count(), 2);
        QCOMPARE(window.seriesChoice->itemText(1), QString("系列 2（未追加）"));
        QCOMPARE(window.seriesChoice->currentIndex(), 1);
        QCOMPARE(window.List1->List(0), QString::fromStdString(results::resultListRow(0.2, 35.0)));
        // Each curve in its own colour: the kept one green, the latest blue.
        QTRY_VERIFY(plotted(window, 400, 300).green() > 100 && plotted(window, 400, 300).red() < 100);
        QVERIFY(plotted(window, 400, 200).blue() > 200 && plotted(window, 400, 200).red() < 100);

        window.seriesChoice->activated(0);
        QCOMPARE(window.List1->ListCount(), firstRows);
        QCOMPARE(window.List1->List(0), QString::fromStdString(results::resultListRow(0.2, 25.0)));
        window.List1->setListIndex(3);
        QCOMPARE(window.Line1->Y1(), 300.0f);
        QCOMPARE(window.Line2->X1(), 55.0f);

        // "データ保存" writes the chosen series in the one-series form.
        window.Command6->click();
        results::Form3& dialog = app.module->form3();
        QVERIFY(!dialog.savesAllSeries());
        dialog.Text9->setText("one");
        dialog.Command6->click();
        const auto& kept = app.module->series.kept;
        QCOMPARE(contents(app.path("one.csv")),
                 QByteArray::fromStdString(results::csvText(digitize::graphPointsOf(kept.at(0)))));

        // "すべての系列を保存": the table and its JSON.
        window.saveAllSeriesAction->trigger();
        QVERIFY(dialog.savesAllSeries());
        QCOMPARE(dialog.Text9->Text(), QString("12-06-2026"));
        QCOMPARE(dialog.List1->List(0), QString("Series, X, Y"));
        dialog.Text9->setText("all");
        dialog.Command6->click();
        QCOMPARE(app.platform.texts().last(), QString(" データは保存されました "));
        const std::vector<results::Series> every = app.module->series.all();
        QCOMPARE(every.size(), std::size_t(2));
        QCOMPARE(contents(app.path("all.csv")), QByteArray::fromStdString(results::allSeriesCsvText(every)));
        const QJsonObject json = QJsonDocument::fromJson(contents(app.path("all.json"))).object();
        QCOMPARE(json["image"]["name"].toString(), QString("graph.png"));
        QCOMPARE(json["image"]["sha256"].toString(), *image::sha256OfFile(app.path("graph.png")));
        QCOMPARE(json["series"].toArray().size(), 2);
        QCOMPARE(json["series"][1]["points"].toArray().size(), qsizetype(every[1].points.size()));
        QCOMPARE(json["references"][1]["y"].toDouble(), 50.0);

        window.copyAllSeriesAction->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(results::allSeriesClipboardText(every)));

        // Renamed: the choice, the legend's table and the history follow; no name is refused.
        app.platform.textAnswers = {"  ", "温度, 外"};
        window.renameSeriesAction->trigger();
        QVERIFY(app.platform.texts().last().contains("系列の名前は 1 文字以上 256 文字まで"));
        window.renameSeriesAction->trigger();
        QCOMPARE(window.seriesChoice->itemText(0), QString("温度, 外"));
        QVERIFY(QString::fromStdString(results::allSeriesCsvText(app.module->series.all()))
                    .contains("\"温度, 外\", 2.000E-01, 2.500E+01"));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(app.module->series.kept.at(0).name, QString("系列 1"));
    }

    void newReferencesConvertTheKeptSeriesAgainAndResetEndsThem()
    {
        MainWindowFixture app(testing::drawSeriesGraph);
        QVERIFY(app.show());
        QVERIFY(app.clickFile("graph.png"));
        calibrate(app);
        digitizeCurveAt(app, 200, 300);
        app.module->form2().keepSeriesAction->trigger();
        QCOMPARE(app.module->series.kept.at(0).points.at(0).y, 25.0);

        app.form->Text4->setText("100");  // the axis read again: 0 .. 100
        digitizeCurveAt(app, 200, 200);
        QCOMPARE(app.module->series.kept.at(0).points.at(0).y, 50.0);
        QCOMPARE(app.module->series.latest->points.at(0).y, 70.0);

        // Reset clears the picture for the next graph, and its series with it.
        app.form->Command2->click();
        QVERIFY(!app.module->series.listsSeries());
        QVERIFY(!app.module->series.latest);
    }

    void markersFromTheImageMenuAreOnePointEachInXOrder()
    {
        MainWindowFixture app([](const QDir& folder) {
            QImage image(800, 600, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(200, 0, 120));
            // At X 7 k and Y 5 k for k = 6, 1, 4, 2: drawn out of X order.
            for (const int k : {6, 1, 4, 2}) painter.drawEllipse(QPointF(50.5 + 70 * k, 550.5 - 50 * k), 6, 6);
            painter.end();
            image.save(folder.filePath("scatter.png"));
        });
        QVERIFY(app.show());
        QVERIFY(app.clickFile("scatter.png"));
        calibrate(app);

        app.pressOnPicture(400, 400, Qt::RightButton);  // on the paper
        app.form->imageAreaMenu->hide();
        QVERIFY(app.form->findMarkersAction->isEnabled());
        QVERIFY(!app.form->keepSeriesAction->isEnabled());
        app.form->findMarkersAction->trigger();
        QCOMPARE(app.platform.texts().last(), QString::fromUtf8(digitize::msg::kNoMarkerAtClick.data()));

        app.pressOnPicture(50 + 280 + 2, 550 - 200 - 1, Qt::RightButton);  // on the marker at X 28
        app.form->imageAreaMenu->hide();
        app.form->findMarkersAction->trigger();
        QCOMPARE(app.platform.texts().last(), QString(" --- マーカーを 4 個検出しました --- "));
        results::Form2& window = app.module->form2();
        QVERIFY(window.isVisible());
        QCOMPARE(window.seriesChoice->itemText(0), QString("系列 1（未追加）"));
        QCOMPARE(window.List1->ListCount(), 4);
        const auto& points = app.module->series.latest->points;
        for (int i = 0; i < 4; ++i) {
            const int k = std::array{1, 2, 4, 6}[std::size_t(i)];
            QVERIFY2(std::abs(points[std::size_t(i)].x - 7 * k) < 0.05 &&
                         std::abs(points[std::size_t(i)].y - 5 * k) < 0.05,
                     qPrintable(window.List1->List(i)));
        }
        QCOMPARE(app.module->PointCount, std::int16_t(0));  // a run's tables are not for markers
        app.pressOnPicture(400, 400, Qt::RightButton);
        app.form->imageAreaMenu->hide();
        QVERIFY(app.form->keepSeriesAction->isEnabled());
        app.form->keepSeriesAction->trigger();
        QCOMPARE(app.module->series.kept.size(), std::size_t(1));
        QCOMPARE(window.seriesChoice->itemText(0), QString("系列 1"));
    }
};

QTEST_MAIN(SeriesWindowTest)
#include "series_window_test.moc"
