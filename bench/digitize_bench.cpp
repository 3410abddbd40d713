// The column scan of a digitizing run on the largest realistic run: a
// 1004 x 800 graph picture and a window of 1000 columns x 782 rows
// (references (0, 799) and (1003, 0): columns 2 .. 1001, rows 3 .. 784).
// Every benchmark uses the same picture and window.
//
//   BM_ReadFloor     reads every pixel of the window once (the floor)
//   BM_Scan          the production scan
//   BM_ColourScan    the scan by the curve's colour, taken at a pixel of the
//                    curve (its window has the rows near the axes as well:
//                    1000 columns x 798 rows)
//   BM_ScanPerPixel  the per-pixel transliteration of the original
//   BM_Digitize      the whole "Digitize" button of the main window, with the
//                    picture shown in its image area, minus the modal message
//
// Compare medians: --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include "SilentPlatform.h"

#include <QCoreApplication>
#include <QImage>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/digitize/ColourScan.h"
#include "engine/digitize/ColumnScan.h"
#include "engine/digitize/ColumnScanReference.h"
#include "engine/image/PixelView.h"
#include "engine/digitize/References.h"
#include "engine/digitize/ScanWindow.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

namespace {

using vastrel::digitize::References;
using vastrel::image::PixelView;

constexpr int kWidth = 1004;
constexpr int kHeight = 800;

// White paper, light grey grid lines every 50 pixels, black axes along the
// reference rectangle, and a dark blue curve two pixels thick with a lighter
// anti-aliased fringe.
struct GraphPicture {
    std::vector<std::uint32_t> pixels;
    PixelView view;
    References refs;

    GraphPicture() : pixels(static_cast<std::size_t>(kWidth) * kHeight, 0xFFFFFFFFu)
    {
        const auto set = [&](int x, int y, std::uint32_t argb) {
            if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) pixels[static_cast<std::size_t>(y) * kWidth + x] = argb;
        };
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (x % 50 == 0 || y % 50 == 0) set(x, y, 0xFFC0C0C0u);
        for (int x = 0; x < kWidth; ++x) {
            set(x, 0, 0xFF000000u);
            set(x, kHeight - 1, 0xFF000000u);
        }
        for (int y = 0; y < kHeight; ++y) {
            set(0, y, 0xFF000000u);
            set(kWidth - 1, y, 0xFF000000u);
        }
        for (int x = 0; x < kWidth; ++x) {
            const int y = static_cast<int>(std::lround(400.0 + 300.0 * std::sin(x / 90.0) * std::exp(-x / 2000.0)));
            set(x, y - 1, 0xFF9090D0u);
            set(x, y, 0xFF202080u);
            set(x, y + 1, 0xFF202080u);
            set(x, y + 2, 0xFF9090D0u);
        }
        view = PixelView{pixels.data(), kWidth, kHeight, kWidth};
        refs.startX = 0.0f;
        refs.startY = static_cast<float>(kHeight - 1);
        refs.endX = 1003.0f;
        refs.endY = 0.0f;
    }
};

const GraphPicture& picture()
{
    static const GraphPicture p;
    return p;
}

std::int64_t windowPixels()
{
    const auto w = vastrel::digitize::scanWindowOf(picture().refs);
    return w.columnCount() * w.rowCount();
}

// The sum of the green bytes of the window. The rows go in blocks of 32
// pixels with one partial sum per block position, as the production scan keeps
// one key per column, so that GCC vectorises this loop at -O2 too (its cheapest
// vectoriser setting skips loops of unknown trip count) and no compiler needs a
// horizontal sum per block; a scalar floor would flatter the scan.
void BM_ReadFloor(benchmark::State& state)
{
    const GraphPicture& p = picture();
    const auto w = vastrel::digitize::scanWindowOf(p.refs);
    const int x0 = static_cast<int>(w.firstColumn);
    const auto n = static_cast<std::size_t>(w.columnCount());
    const int y0 = static_cast<int>(w.firstRow), y1 = static_cast<int>(w.lastRow);
    constexpr std::size_t kBlock = 32;
    for (auto _ : state) {
        std::uint32_t lanes[kBlock] = {};  // one partial sum per block position
        std::uint32_t sum = 0;
        for (int y = y0; y <= y1; ++y) {
            const std::uint32_t* row = p.view.pixels + static_cast<std::ptrdiff_t>(y) * p.view.stride + x0;
            std::size_t i = 0;
            for (; i + kBlock <= n; i += kBlock)
                for (std::size_t k = 0; k < kBlock; ++k) lanes[k] += (row[i + k] >> 8) & 0xFFu;
            for (; i < n; ++i) sum += (row[i] >> 8) & 0xFFu;
        }
        for (const std::uint32_t lane : lanes) sum += lane;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * windowPixels());
}
BENCHMARK(BM_ReadFloor);

void BM_Scan(benchmark::State& state)
{
    const GraphPicture& p = picture();
    for (auto _ : state) {
        std::vector<float> rows = vastrel::digitize::scanColumns(p.view, p.refs);
        benchmark::DoNotOptimize(rows.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * windowPixels());
}
BENCHMARK(BM_Scan);

void BM_ColourScan(benchmark::State& state)
{
    const GraphPicture& p = picture();
    // The curve's core in column 500, where Ctrl + click would take it.
    const int x = 500;
    const int y = static_cast<int>(std::lround(400.0 + 300.0 * std::sin(x / 90.0) * std::exp(-x / 2000.0)));
    const vastrel::digitize::CurveColour colour{0x20, 0x20, 0x80, x, y};
    for (auto _ : state) {
        auto rows = vastrel::digitize::scanColumnsForColour(p.view, p.refs, colour);
        benchmark::DoNotOptimize(rows->rows.data());
        benchmark::ClobberMemory();
    }
    const auto w = vastrel::digitize::colourScanWindowOf(p.refs);
    state.SetItemsProcessed(state.iterations() * w.columnCount() * w.rowCount());
}
BENCHMARK(BM_ColourScan);

void BM_ScanPerPixel(benchmark::State& state)
{
    const GraphPicture& p = picture();
    for (auto _ : state) {
        std::vector<float> rows = vastrel::digitize::scanColumnsPerPixel(p.view, p.refs);
        benchmark::DoNotOptimize(rows.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * windowPixels());
}
BENCHMARK(BM_ScanPerPixel)->Unit(benchmark::kMillisecond);

void BM_Digitize(benchmark::State& state)
{
    const GraphPicture& p = picture();
    vastrel::bench::SilentPlatform platform;
    vastrel::shell::Module1 module(platform);
    vastrel::shell::Form1 form(module);
    const QImage image(reinterpret_cast<const uchar*>(p.pixels.data()), kWidth, kHeight, kWidth * 4,
                       QImage::Format_RGB32);
    form.Picture1->setPicture(image.copy());
    module.StartPixelX = p.refs.startX;
    module.StartPixelY = p.refs.startY;
    module.EndPixelX = p.refs.endX;
    module.EndPixelY = p.refs.endY;
    form.Text1->setText("0");
    form.Text2->setText("0");
    form.Text3->setText("100");
    form.Text4->setText("50");
    for (auto _ : state) {
        // The repaints the last run left for the event loop belong to that run.
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form.Command5_Click();
        benchmark::ClobberMemory();
    }
    if (module.PointCount != 1000) state.SkipWithError("the run did not give 1000 points");
}
BENCHMARK(BM_Digitize)->Unit(benchmark::kMillisecond);

}  // namespace
