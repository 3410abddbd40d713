// Axes calibrated from a 1000 x 800 graph: the frame, the ticks and the
// labels found, each label read by OCR, the scales fitted. Once with the
// OCR model loaded before (as a batch worker and the window keep it), once
// loading it for the one graph.

#include "engine/axes/AxisCalibration.h"
#include "engine/image/DrawingArea.h"
#include "ocr/OcrThreads.h"
#include "ocr/TesseractLabelReader.h"

#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

using namespace vastrel;

QImage graph()
{
    QImage picture(1000, 800, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    const QRectF frame(100.5, 50.5, 850, 650);
    p.drawRect(frame);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(15);
    p.setFont(font);
    for (int i = 0; i <= 10; ++i) {
        const double x = frame.left() + frame.width() * i / 10;
        p.drawLine(QPointF(x, frame.bottom()), QPointF(x, frame.bottom() - 8));
        p.drawText(QRectF(x - 30, frame.bottom() + 6, 60, 20), Qt::AlignHCenter | Qt::AlignTop, QString::number(i * 50));
    }
    for (int i = 0; i <= 8; ++i) {
        const double y = frame.bottom() - frame.height() * i / 8;
        p.drawLine(QPointF(frame.left(), y), QPointF(frame.left() + 8, y));
        p.drawText(QRectF(frame.left() - 70, y - 10, 62, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(-2 + i * 0.5, 'f', 1));
    }
    QPainterPath curve;
    for (int c = 0; c <= 850; ++c) {
        const QPointF at(frame.left() + c, frame.center().y() + 200 * std::sin(c / 90.0));
        c == 0 ? curve.moveTo(at) : curve.lineTo(at);
    }
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawPath(curve);
    return picture;
}

void BM_CalibrateAxes(benchmark::State& state)
{
    const QImage picture = graph();
    ocr::TesseractLabelReader reader;
    for (auto _ : state) {
        auto found = axes::calibrateAxes(image::pixelViewOf(picture), reader);
        if (!std::holds_alternative<axes::AxisCalibration>(found)) state.SkipWithError("the graph was not calibrated");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_CalibrateAxes)->Unit(benchmark::kMillisecond);

void BM_CalibrateAxesLoadingModel(benchmark::State& state)
{
    const QImage picture = graph();
    for (auto _ : state) {
        ocr::TesseractLabelReader reader;
        auto found = axes::calibrateAxes(image::pixelViewOf(picture), reader);
        if (!std::holds_alternative<axes::AxisCalibration>(found)) state.SkipWithError("the graph was not calibrated");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_CalibrateAxesLoadingModel)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // As the program reads labels: on one thread.
    ocr::restartWithOneOcrThread(argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
