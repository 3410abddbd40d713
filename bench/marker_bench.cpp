// Finding every scatter marker like the clicked one on the largest drawing
// area: 1000 x 800 pixels of white paper with light grey grid lines every 50
// pixels, black axes and 50 hollow dark blue circles 13 pixels across, off
// the pixel grid, joined by a line of their ink.
//
// Compare medians: --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

#include "engine/digitize/ScatterMarkers.h"
#include "engine/image/DrawingArea.h"

namespace {

using vastrel::digitize::PixelArea;

struct ScatterPicture {
    QImage image{1000, 800, QImage::Format_RGB32};
    QPointF first;

    ScatterPicture()
    {
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 200, 200), 1));
        for (int k = 50; k < 1000; k += 50) p.drawLine(QPointF(k + 0.5, 0), QPointF(k + 0.5, 800));
        for (int k = 50; k < 800; k += 50) p.drawLine(QPointF(0, k + 0.5), QPointF(1000, k + 0.5));
        p.setPen(QPen(Qt::black, 1.5));
        p.drawRect(QRectF(10.5, 10.5, 979, 779));
        const QColor ink(20, 40, 160);
        QPainterPath line;
        for (int i = 0; i < 50; ++i) {
            const QPointF c(40.3 + 18.7 * i, 400.0 + 300.0 * std::sin(0.37 * i) + 0.4 * (i % 3));
            if (i == 0) first = c, line.moveTo(c + QPointF(0.5, 0.5));
            line.lineTo(c + QPointF(0.5, 0.5));
        }
        p.setPen(QPen(ink, 1.0));
        p.drawPath(line);
        p.setPen(QPen(ink, 1.5));
        for (int i = 0; i < 50; ++i) {
            const QPointF c(40.3 + 18.7 * i, 400.0 + 300.0 * std::sin(0.37 * i) + 0.4 * (i % 3));
            p.drawEllipse(c + QPointF(0.5, 0.5), 6.0, 6.0);
        }
    }
};

void BM_FindScatterMarkers(benchmark::State& state)
{
    const ScatterPicture picture;
    const QImage area = vastrel::image::composeDrawingArea(picture.image);
    const auto view = vastrel::image::pixelViewOf(area);
    const PixelArea plotting{0, 0, 999, 799};
    const int clickX = int(std::lround(picture.first.x())), clickY = int(std::lround(picture.first.y() + 6));
    std::size_t found = 0;
    for (auto _ : state) {
        const auto search = vastrel::digitize::findScatterMarkers(view, plotting, clickX, clickY);
        found = search.centres.size();
        benchmark::DoNotOptimize(search.centres.data());
    }
    state.counters["markers"] = double(found);
}
BENCHMARK(BM_FindScatterMarkers)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
