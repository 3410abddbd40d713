// Several series in the windows, at the sizes a busy figure reaches:
//
//   BM_EditPoint      one arrow-key nudge of a point of a 1000-point series
//                     shown over the image: the edit, its history step, the
//                     result window's plot and list redrawn, both repainted
//   BM_DeletePoint    one point deleted the same way (and put back untimed)
//   BM_AddPoint       one point added with Ctrl + Shift + click (and taken
//                     back untimed)
//   BM_OpenProject    a project of 10 series of 1000 points opened: the file
//                     read and checked, its 1000 x 800 PNG loaded and checked
//                     against its SHA-256, everything restored and the
//                     result window shown
//
// Compare medians: --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include "SilentPlatform.h"

#include <QDir>
#include <QImageWriter>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

#include "engine/image/FileDigest.h"
#include "engine/project/ProjectFile.h"
#include "engine/results/WholeFile.h"
#include "results/Form2.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

namespace {

using namespace vastrel;

// The main window shown on a 1000 x 800 picture with ten series of 1000
// points kept, the first shown over the image.
struct SeriesWindow {
    QTemporaryDir folder;
    QString previous = QDir::currentPath();
    bench::SilentPlatform platform;
    std::unique_ptr<shell::Module1> module;
    std::unique_ptr<shell::Form1> form;

    SeriesWindow()
    {
        QImage picture(1000, 800, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QImageWriter(folder.filePath("graph.png"), "png").write(picture);
        QDir::setCurrent(folder.path());
        module = std::make_unique<shell::Module1>(platform);
        form = std::make_unique<shell::Form1>(*module);
        form->Show();
        form->File1->selectListed(QStringLiteral("graph.png"));
        form->File1_Click();
        form->placePick(1, 2, 780);
        form->placePick(2, 1005, 20);
        for (auto [box, text] :
             {std::pair{form->Text1, "1"}, {form->Text2, "1"}, {form->Text3, "1000"}, {form->Text4, "1000"}})
            box->setText(text);
        results::SeriesSet& set = module->series;
        set.refs = form->typedReferences();
        for (int s = 0; s < 10; ++s) {
            results::Series series{QStringLiteral("系列 %1").arg(s + 1), results::SeriesRule::Darkest, {}, {}};
            for (int i = 0; i < 1000; ++i) {
                const double row = 400 + 300 * std::sin(i / 50.0 + s);
                series.points.push_back({1.0 + i, std::exp(row / 100), 4.0 + i, row});
            }
            set.kept.push_back(series);
        }
        module->DigitizedFlag = 1;
        module->form2().showSeries(true);
        module->form2().Show();
        form->showSeriesOnImage(true);
        form->Picture1->setFocus();
        QCoreApplication::processEvents();
    }
    ~SeriesWindow() { QDir::setCurrent(previous); }

    void select(int column)
    {
        const auto& p = module->series.kept[0].points[std::size_t(column)];
        emit form->Picture1->MouseDown(1, 0, float(p.column), float(p.row));
        emit form->Picture1->MouseUp(1, 0, float(p.column), float(p.row));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(form->Picture1, &press);
    }
    void repaint()
    {
        form->Picture1->repaint();
        module->form2().Picture1->repaint();
        module->form2().List1->repaint();
    }
};

void BM_EditPoint(benchmark::State& state)
{
    SeriesWindow window;
    window.select(500);
    for (auto _ : state) {
        window.key(Qt::Key_Down, Qt::ShiftModifier);
        window.repaint();
    }
    if (window.module->series.kept[0].points[500].row <= 400 + 300 * std::sin(10.0))
        state.SkipWithError("the point was not moved");
}
BENCHMARK(BM_EditPoint)->Unit(benchmark::kMillisecond);

void BM_DeletePoint(benchmark::State& state)
{
    SeriesWindow window;
    for (auto _ : state) {
        state.PauseTiming();
        window.select(500);
        state.ResumeTiming();
        window.key(Qt::Key_Delete);
        window.repaint();
        state.PauseTiming();
        window.form->undo();
        state.ResumeTiming();
    }
    if (window.module->series.kept[0].points.size() != 1000) state.SkipWithError("the point was not put back");
}
BENCHMARK(BM_DeletePoint)->Unit(benchmark::kMillisecond);

void BM_AddPoint(benchmark::State& state)
{
    SeriesWindow window;
    for (auto _ : state) {
        emit window.form->Picture1->MouseDown(1, 3, 500.25f, 100.5f);
        window.repaint();
        state.PauseTiming();
        window.form->undo();
        state.ResumeTiming();
    }
    if (window.module->series.kept[0].points.size() != 1000) state.SkipWithError("the point was not taken back");
}
BENCHMARK(BM_AddPoint)->Unit(benchmark::kMillisecond);

void BM_OpenProject(benchmark::State& state)
{
    SeriesWindow window;
    const QString path = window.folder.filePath("figure.vdproj");
    if (!window.form->saveProjectTo(path)) state.SkipWithError("the project was not saved");
    for (auto _ : state) {
        if (!window.form->openProjectFile(path)) state.SkipWithError("the project was not opened");
        window.repaint();
    }
    if (window.module->series.kept.size() != 10) state.SkipWithError("the series were not restored");
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond);

}  // namespace
