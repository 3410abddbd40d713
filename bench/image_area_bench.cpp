// The image area's additions, measured in the main window on a 1000 x 800
// graph picture (white paper, grey grid, dark curve), on the offscreen
// platform with the window shown, so that every repaint is really drawn:
//
//   BM_DecodeFloor/png|jpeg  the file decoded by Qt alone (the floor)
//   BM_LoadFile/png|jpeg     the file box's handler for that file, up to the
//                            image area repainted with it
//   BM_PastePng              Ctrl+V with the PNG's bytes on the clipboard, up
//                            to the image area repainted
//   BM_CopyAreaFloor         one copy of the whole drawing area (the floor of
//                            an erase, which keeps what it covers)
//   BM_EraseRelease          the release of a right-button drag over the whole
//                            drawing area of a freshly loaded picture, up to
//                            the image area repainted
//   BM_Undo                  taking that erase back, up to the repaint
//   BM_LoupeMove             the handlers of one pointer move while a pick is
//                            armed and the loupe follows (BM_LoupeMoveRepaint
//                            adds the loupe's own repaint)
//
// Compare medians: --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include "SilentPlatform.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

#include "shell/Form1.h"
#include "shell/Module1.h"
#include "toolkit/Platform.h"

namespace {

const char* const kFormats[] = {"png", "jpeg"};

QImage graphPicture()
{
    QImage image(1000, 800, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 1000; ++x)
            if (x % 50 == 0 || y % 50 == 0) image.setPixel(x, y, qRgb(0xC0, 0xC0, 0xC0));
    for (int x = 0; x < 1000; ++x) {
        const int y = static_cast<int>(std::lround(400.0 + 300.0 * std::sin(x / 90.0)));
        for (int dy = -1; dy <= 1; ++dy) image.setPixel(x, y + dy, qRgb(0x20, 0x20, 0x80));
    }
    return image;
}

// The main window shown in a folder holding graph.png and graph.jpeg.
struct ShownWindow {
    QTemporaryDir folder;
    QString previous = QDir::currentPath();
    vastrel::bench::SilentPlatform platform;
    std::unique_ptr<vastrel::shell::Module1> module;
    std::unique_ptr<vastrel::shell::Form1> form;

    ShownWindow()
    {
        const QImage picture = graphPicture();
        for (const char* format : kFormats) {
            QImageWriter writer(folder.filePath(QStringLiteral("graph.") + format), format);
            writer.setQuality(90);
            writer.write(picture);
        }
        QDir::setCurrent(folder.path());
        module = std::make_unique<vastrel::shell::Module1>(platform);
        form = std::make_unique<vastrel::shell::Form1>(*module);
        form->Show();
        QCoreApplication::processEvents();
    }
    ~ShownWindow()
    {
        form.reset();
        QDir::setCurrent(previous);
    }
    QString path(const char* format) const { return folder.filePath(QStringLiteral("graph.") + format); }
    void settle() { QCoreApplication::processEvents(); }
};

void BM_DecodeFloor(benchmark::State& state)
{
    ShownWindow window;
    const QString path = window.path(kFormats[state.range(0)]);
    for (auto _ : state) {
        QImageReader reader(path);
        QImage image = reader.read();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(kFormats[state.range(0)]);
}
BENCHMARK(BM_DecodeFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadFile(benchmark::State& state)
{
    ShownWindow window;
    const QString name = QStringLiteral("graph.") + kFormats[state.range(0)];
    if (!window.form->File1->selectListed(name)) state.SkipWithError("the file box does not list the file");
    for (auto _ : state) {
        state.PauseTiming();
        window.settle();
        state.ResumeTiming();
        window.form->File1_Click();
        window.form->Picture1->repaint();
    }
    if (window.form->Picture1->Point(10, 10) != 0xFFFFFF) state.SkipWithError("the picture was not shown");
    state.SetLabel(kFormats[state.range(0)]);
}
BENCHMARK(BM_LoadFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PastePng(benchmark::State& state)
{
    ShownWindow window;
    QFile file(window.path("png"));
    file.open(QIODevice::ReadOnly);
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), file.readAll());
    QGuiApplication::clipboard()->setMimeData(data);
    for (auto _ : state) {
        state.PauseTiming();
        window.settle();
        state.ResumeTiming();
        window.form->pasteImage();
        window.form->Picture1->repaint();
    }
    if (window.form->Picture1->Point(10, 10) != 0xFFFFFF) state.SkipWithError("the picture was not shown");
}
BENCHMARK(BM_PastePng)->Unit(benchmark::kMillisecond);

void BM_CopyAreaFloor(benchmark::State& state)
{
    QImage area(1005, 805, QImage::Format_RGB32);
    area.fill(Qt::white);
    for (auto _ : state) {
        QImage copy = area.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}
BENCHMARK(BM_CopyAreaFloor)->Unit(benchmark::kMillisecond);

void dragOverTheWholeArea(vastrel::shell::Form1& form)
{
    emit form.Picture1->MouseDown(vastrel::tk::kRightButton, 0, 0.0f, 0.0f);
    emit form.Picture1->MouseMove(vastrel::tk::kRightButton, 0, 1004.0f, 804.0f);
}

void BM_EraseRelease(benchmark::State& state)
{
    ShownWindow window;
    auto& form = *window.form;
    form.File1->selectListed(QStringLiteral("graph.png"));
    form.File1_Click();
    for (auto _ : state) {
        state.PauseTiming();
        // A freshly loaded picture each time: the first erase is the dearest.
        form.File1_Click();
        dragOverTheWholeArea(form);
        window.settle();
        state.ResumeTiming();
        emit form.Picture1->MouseUp(vastrel::tk::kRightButton, 0, 1004.0f, 804.0f);
        form.Picture1->repaint();
    }
    if (form.Picture1->Point(500, 400) != 0xFFFFFF) state.SkipWithError("nothing was erased");
}
BENCHMARK(BM_EraseRelease)->Unit(benchmark::kMillisecond);

void BM_Undo(benchmark::State& state)
{
    ShownWindow window;
    auto& form = *window.form;
    form.File1->selectListed(QStringLiteral("graph.png"));
    form.File1_Click();
    for (auto _ : state) {
        state.PauseTiming();
        dragOverTheWholeArea(form);
        emit form.Picture1->MouseUp(vastrel::tk::kRightButton, 0, 1004.0f, 804.0f);
        window.settle();
        state.ResumeTiming();
        form.undo();
        form.Picture1->repaint();
    }
    if (form.canUndoErase() || form.Picture1->Point(1, 1) != 0xFFFFFF) state.SkipWithError("the erase was not undone");
}
BENCHMARK(BM_Undo)->Unit(benchmark::kMillisecond);

void loupeMoves(benchmark::State& state, bool repaintLoupe)
{
    ShownWindow window;
    auto& form = *window.form;
    form.File1->selectListed(QStringLiteral("graph.png"));
    form.File1_Click();
    window.module->PickMode = 1;
    const QPointF origin = form.Picture1->contentsRect().topLeft();
    int step = 0;
    for (auto _ : state) {
        const QPointF at = origin + QPointF(300 + step % 200, 200 + step % 150);
        ++step;
        QMouseEvent move(QEvent::MouseMove, at, form.Picture1->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(form.Picture1, &move);
        if (repaintLoupe) form.loupe->repaint();
        state.PauseTiming();
        window.settle();
        state.ResumeTiming();
    }
    if (!form.loupe->isVisible()) state.SkipWithError("the loupe was not shown");
}

void BM_LoupeMove(benchmark::State& state)
{
    loupeMoves(state, false);
}
BENCHMARK(BM_LoupeMove)->Unit(benchmark::kMicrosecond);

void BM_LoupeMoveRepaint(benchmark::State& state)
{
    loupeMoves(state, true);
}
BENCHMARK(BM_LoupeMoveRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
