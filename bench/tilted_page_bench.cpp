// Reading a page along its own axes on the largest run: a 1004 x 800 graph
// tilted by 2 degrees, the start and end points at (10, 790) and (993, 12),
// a window of about 980 columns x 760 rows.
//
//   BM_Rectify              the resampling of the area between the start and
//                           end points through the fitted mapping
//   BM_DigitizeTwoPoints    the engine's run with the two points alone
//   BM_DigitizeFourPoints   the engine's run with the frame's other corners:
//                           the fit, the resampling, the scan, the conversion
//   BM_DigitizeButton       the whole "Digitize" button with four points,
//                           minus the modal message
//
// Compare medians: --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include "SilentPlatform.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include <vector>

#include "engine/digitize/DigitizeRun.h"
#include "engine/digitize/RectifiedPicture.h"
#include "engine/image/DrawingArea.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

namespace {

using namespace vastrel;

struct TiltedGraph {
    QImage area;
    digitize::References refs{10, 790, 993, 12, 0, 0, 100, 50, digitize::ScaleMode::LinearLinear};
    std::vector<digitize::ReferencePoint> corners;

    TiltedGraph()
    {
        QImage page(1004, 800, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.setRenderHint(QPainter::Antialiasing);
        const QTransform tilt = QTransform().translate(10, 790).rotate(-2);
        painter.setTransform(tilt);
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawRect(QRectF(0, -760, 950, 760));
        painter.setPen(QPen(QColor(20, 20, 140), 2));
        for (int x = 0; x < 950; ++x)
            painter.drawLine(QPointF(x, -380 - 300 * std::sin(x / 90.0)),
                             QPointF(x + 1, -380 - 300 * std::sin((x + 1) / 90.0)));
        painter.end();
        area = image::composeDrawingArea(page);
        const QPointF lowerLeft = tilt.map(QPointF(0, 0)), upperRight = tilt.map(QPointF(950, -760));
        const QPointF upperLeft = tilt.map(QPointF(0, -760)), lowerRight = tilt.map(QPointF(950, 0));
        refs.startX = float(lowerLeft.x());
        refs.startY = float(lowerLeft.y());
        refs.endX = float(upperRight.x());
        refs.endY = float(upperRight.y());
        corners = {{upperLeft.x(), upperLeft.y(), 0, 50}, {lowerRight.x(), lowerRight.y(), 100, 0}};
    }
};

const TiltedGraph& graph()
{
    static const TiltedGraph g;
    return g;
}

void BM_Rectify(benchmark::State& state)
{
    const TiltedGraph& g = graph();
    const auto fit = digitize::mappingOf(g.refs, g.corners);
    if (!fit.ok()) return state.SkipWithError(fit.refusal.c_str());
    for (auto _ : state) {
        const digitize::RectifiedPicture rectified(image::pixelViewOf(g.area), g.refs, *fit.mapping);
        benchmark::DoNotOptimize(rectified.view().pixels);
    }
}
BENCHMARK(BM_Rectify)->Unit(benchmark::kMillisecond);

void BM_DigitizeTwoPoints(benchmark::State& state)
{
    const TiltedGraph& g = graph();
    for (auto _ : state) benchmark::DoNotOptimize(digitize::digitize(image::pixelViewOf(g.area), g.refs).points.data());
}
BENCHMARK(BM_DigitizeTwoPoints)->Unit(benchmark::kMillisecond);

void BM_DigitizeFourPoints(benchmark::State& state)
{
    const TiltedGraph& g = graph();
    for (auto _ : state) {
        const auto run = digitize::digitize(image::pixelViewOf(g.area), g.refs, std::nullopt, g.corners);
        benchmark::DoNotOptimize(run.points.data());
    }
}
BENCHMARK(BM_DigitizeFourPoints)->Unit(benchmark::kMillisecond);

void BM_DigitizeButton(benchmark::State& state)
{
    const TiltedGraph& g = graph();
    vastrel::bench::SilentPlatform platform;
    shell::Module1 module(platform);
    shell::Form1 form(module);
    form.Picture1->setPicture(g.area.copy(0, 0, 1004, 800));
    module.StartPixelX = g.refs.startX;
    module.StartPixelY = g.refs.startY;
    module.EndPixelX = g.refs.endX;
    module.EndPixelY = g.refs.endY;
    for (const auto& [box, text] :
         {std::pair{form.Text1, "0"}, {form.Text2, "0"}, {form.Text3, "100"}, {form.Text4, "50"}})
        box->setText(QString::fromLatin1(text));
    for (const digitize::ReferencePoint& p : g.corners)
        module.addedReferences.push_back({p.column, p.row, QString::number(p.x), QString::number(p.y), false});
    for (auto _ : state) {
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form.Command5_Click();
        benchmark::ClobberMemory();
    }
    if (module.PointCount < 900) state.SkipWithError("the run did not give its points");
}
BENCHMARK(BM_DigitizeButton)->Unit(benchmark::kMillisecond);

}  // namespace
