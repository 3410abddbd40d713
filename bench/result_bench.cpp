// The result side of a digitizing run at its largest, 1000 points:
//
//   BM_ShowDigitizedResult  plot, both lists and the result window shown
//   BM_WriteCsv1000         the CSV file written (and replaced) in a temp folder
//
// Compare medians: --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <cmath>
#include <vector>

#include "digitize/ShowDigitizedResult.h"
#include "engine/results/CsvFile.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "toolkit/Platform.h"

namespace {

using vastrel::results::GraphPoint;

constexpr int kPoints = 1000;

// References (2, 780) and (1005, 20): columns 4 .. 1003, one point each.
void storeLargestRun(vastrel::shell::Module1& module, vastrel::shell::Form1& main)
{
    module.StartPixelX = 2.0f;
    module.StartPixelY = 780.0f;
    module.EndPixelX = 1005.0f;
    module.EndPixelY = 20.0f;
    module.AxisScaleMode = 3;
    module.PointCount = kPoints;
    for (int i = 1; i <= kPoints; ++i) {
        module.DigitizedPoints(i).X = 1.0 + i * 0.1;
        module.DigitizedPoints(i).Y = std::exp(i / 200.0);
        module.CurvePixelY(i) = 400.0f + 300.0f * static_cast<float>(std::sin(i / 50.0));
    }
    main.Text1->setText("1");
    main.Text2->setText("1");
    main.Text3->setText("1000");
    main.Text4->setText("1000");
    module.DigitizedFlag = 1;
}

std::vector<GraphPoint> largestCurve()
{
    std::vector<GraphPoint> points;
    for (int i = 1; i <= kPoints; ++i) points.push_back({1.0 + i * 0.1, -std::exp(i / 200.0)});
    return points;
}

void BM_ShowDigitizedResult(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    vastrel::tk::DesktopPlatform platform;
    vastrel::shell::Module1 module(platform);
    vastrel::shell::Form1 main(module);
    storeLargestRun(module, main);
    for (auto _ : state) vastrel::digitize::ShowDigitizedResult(module);
    QDir::setCurrent(previous);
}
BENCHMARK(BM_ShowDigitizedResult)->Unit(benchmark::kMillisecond);

void BM_WriteCsv1000(benchmark::State& state)
{
    QTemporaryDir folder;
    const std::vector<GraphPoint> points = largestCurve();
    for (auto _ : state) {
        const auto outcome = vastrel::results::writeCsvFile(folder.path(), "curve", points);
        if (!outcome.saved()) state.SkipWithError(qPrintable(outcome.failure));
    }
}
BENCHMARK(BM_WriteCsv1000)->Unit(benchmark::kMillisecond);

}  // namespace
