// Correcting a series by hand over the image, as a user does it with the
// mouse and the keys: select, drag, nudge, delete, band-select, add; every
// step and the erasures taken back and done again in one history, and the
// result window's list following at once.

#include "MainWindowFixture.h"
#include "SeriesGraph.h"
#include "engine/results/RowText.h"
#include "results/Form2.h"
#include "results/StoredPoints.h"

#include <QPainter>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

struct EditedGraph {
    MainWindowFixture app{testing::drawSeriesGraph};
    shell::Form1& form = *app.form;

    // X 0 .. 70 over columns 50 .. 750, Y 0 .. 50 over rows 550 .. 50; the
    // green curve kept and shown over the image.
    bool ready(bool keep = true)
    {
        if (!app.show() || !app.clickFile("graph.png")) return false;
        app.module->StartPixelX = 50;
        app.module->StartPixelY = 550;
        app.module->EndPixelX = 750;
        app.module->EndPixelY = 50;
        for (auto [box, text] : {std::pair{form.Text1, "0"}, {form.Text2, "0"}, {form.Text3, "70"}, {form.Text4, "50"}})
            box->setText(text);
        app.pressOnPicture(200, 300, Qt::LeftButton, Qt::ControlModifier);
        form.Command5->click();
        if (keep) app.module->form2().keepSeriesAction->trigger();
        form.activateWindow();
        form.showSeriesAction->trigger();
        return QTest::qWaitForWindowActive(&form) && form.seriesShownOnImage();
    }
    const results::Series& series() const
    {
        return app.module->series.kept.empty() ? *app.module->series.latest : app.module->series.kept.at(0);
    }
    QPoint at(QPointF pixel) const { return form.Picture1->contentsRect().topLeft() + pixel.toPoint(); }
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(form.Picture1, button, {}, at(from));
        QTest::mouseMove(form.Picture1, at((from + to) / 2));
        QTest::mouseMove(form.Picture1, at(to));
        QTest::mouseRelease(form.Picture1, button, {}, at(to));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(form.Picture1, Qt::Key(key), modifiers); }
    QString listed(int row) const { return app.module->form2().List1->List(row); }
};

}  // namespace

class PointEditingTest : public QObject {
    Q_OBJECT
private slots:
    void eachEditShowsAtOnceAndIsTakenBackAndDoneAgainStepByStep()
    {
        EditedGraph graph;
        QVERIFY(graph.ready());
        const results::Series found = graph.series();
        const std::size_t n = found.points.size();
        QCOMPARE(found.points.at(148).column, 200.0);

        // A drag from the point at column 200 moves it, values and list alike.
        graph.drag({200, 300}, {200, 320});
        QCOMPARE(graph.form.selectedPoints(), std::vector<std::size_t>{148});
        QCOMPARE(graph.series().points.at(148).row, 320.0);
        QCOMPARE(graph.series().points.at(148).y, 23.0);
        QCOMPARE(graph.listed(148), QString::fromStdString(results::resultListRow(15.0, 23.0)));
        graph.key(Qt::Key_Up, Qt::ShiftModifier);  // a tenth of a pixel
        QCOMPARE(graph.series().points.at(148).row, 319.9);
        graph.key(Qt::Key_Delete);
        QCOMPARE(graph.series().points.size(), n - 1);

        // A band from the paper selects what it spans; Delete takes them all.
        graph.drag({298, 280}, {352, 330});
        QCOMPARE(graph.form.selectedPoints().size(), std::size_t(55));
        graph.key(Qt::Key_Delete);
        QCOMPARE(graph.series().points.size(), n - 56);
        QCOMPARE(graph.app.module->form2().List1->ListCount(), int(n - 56));

        // Ctrl + Shift + click adds a point among the others by its X.
        QTest::mouseClick(graph.form.Picture1, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier,
                          graph.at(QPointF(400, 100)));
        QCOMPARE(graph.series().points.size(), n - 55);
        const auto added = graph.form.selectedPoints().at(0);
        QCOMPARE(graph.series().points.at(added).x, 35.0);
        QCOMPARE(graph.series().points.at(added).y, 45.0);
        QCOMPARE(graph.series().points.at(added - 1).x <= 35.0 && graph.series().points.at(added + 1).x > 35.0, true);
        const std::vector<results::SeriesPoint> edited = graph.series().points;

        for (int step = 0; step < 5; ++step) QTest::keyClick(&graph.form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(graph.series().points, found.points);
        QCOMPARE(graph.listed(148), QString::fromStdString(results::resultListRow(15.0, 25.0)));
        for (int step = 0; step < 5; ++step)
            QTest::keyClick(&graph.form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(graph.series().points, edited);
    }

    void erasuresAndEditsShareOneHistory()
    {
        EditedGraph graph;
        QVERIFY(graph.ready());
        const results::Series found = graph.series();
        graph.drag({290, 90}, {370, 130}, Qt::RightButton);  // erase the legend
        QCOMPARE(graph.form.Picture1->Point(330, 110), 0xFFFFFF);
        graph.drag({600, 300}, {600, 310});
        QCOMPARE(graph.series().points.at(548).row, 310.0);

        QTest::keyClick(&graph.form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(graph.series().points, found.points);
        QCOMPARE(graph.form.Picture1->Point(330, 110), 0xFFFFFF);  // the newest step first
        QTest::keyClick(&graph.form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(graph.form.Picture1->Point(330, 110), 0);
        QTest::keyClick(&graph.form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(graph.form.Picture1->Point(330, 110), 0xFFFFFF);
        // "系列に追加" was a step too: taken back, the run is the latest again.
        QTest::keyClick(&graph.form, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&graph.form, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(graph.app.module->series.kept.empty());
        QVERIFY(graph.app.module->series.latest.has_value());
    }

    void aCorrectedRunIsListedAsTheSeriesItNowIs()
    {
        EditedGraph graph;
        QVERIFY(graph.ready(false));
        results::Form2& window = graph.app.module->form2();
        QVERIFY(window.seriesChoice->isHidden());
        graph.drag({200, 300}, {200, 330});
        // The run's tables no longer hold it: the window lists the series.
        QVERIFY(window.seriesChoice->isVisible());
        QCOMPARE(window.seriesChoice->itemText(0), QString("系列 1（未追加）"));
        QCOMPARE(graph.listed(148), QString::fromStdString(results::resultListRow(15.0, 22.0)));
        QCOMPARE(results::storedPoints(*graph.app.module).at(148).y, 22.0);
        // Taken back, it is the single run again, listed from its tables.
        QTest::keyClick(&graph.form, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(window.seriesChoice->isHidden());
        QCOMPARE(graph.listed(148), QString::fromStdString(results::resultListRow(15.0, 25.0)));
    }

    void withTheSeriesHiddenTheImageIsAsBefore()
    {
        EditedGraph graph;
        QVERIFY(graph.ready());
        graph.form.showSeriesAction->trigger();
        QVERIFY(!graph.form.seriesShownOnImage());
        const results::Series found = graph.series();
        graph.drag({200, 300}, {200, 320});
        graph.key(Qt::Key_Delete);
        QCOMPARE(graph.series().points, found.points);
        QVERIFY(graph.form.selectedPoints().empty());
    }
};

QTEST_MAIN(PointEditingTest)
#include "point_editing_test.moc"
