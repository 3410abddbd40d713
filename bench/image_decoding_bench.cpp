// What checking that an image file is whole adds to loading it: a 1000 x 800
// graph picture (the largest the image area shows) as baseline JPEG,
// progressive JPEG and PNG.
//
//   BM_QtDecode/<format>        Qt's decoder alone, as loading was before
//   BM_DataCheck/<format>       the walk of the file's data alone
//   BM_DecodePicture/<format>   the whole decoding the windows call
//
// Compare within one run: --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include "engine/image/ImageDataCheck.h"
#include "engine/image/ImageDecoding.h"

namespace {

enum Format { kJpeg, kProgressiveJpeg, kPng };

QImage graphPicture()
{
    QImage image(1000, 800, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (x % 50 == 0 || y % 50 == 0) image.setPixel(x, y, qRgb(190, 190, 190));
    for (int x = 0; x < image.width(); ++x) {
        const int centre = 400 + (x * 37 % 301) - 150;
        for (int dy = -1; dy <= 1; ++dy) image.setPixel(x, centre + dy, qRgb(20, 40, 170));
    }
    return image;
}

QByteArray encoded(int format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format == kPng ? "png" : "jpeg");
    writer.setProgressiveScanWrite(format == kProgressiveJpeg);
    writer.write(graphPicture());
    return bytes;
}

const QByteArray& fileBytes(int format)
{
    static const QByteArray files[] = {encoded(kJpeg), encoded(kProgressiveJpeg), encoded(kPng)};
    return files[format];
}

void nameFormats(benchmark::internal::Benchmark* bench)
{
    bench->ArgName("format")->Arg(kJpeg)->Arg(kProgressiveJpeg)->Arg(kPng)->Unit(benchmark::kMillisecond);
}

void BM_QtDecode(benchmark::State& state)
{
    const QByteArray& bytes = fileBytes(int(state.range(0)));
    for (auto _ : state) {
        QBuffer device;
        device.setData(bytes);
        device.open(QIODevice::ReadOnly);
        QImageReader reader(&device);
        reader.setAutoTransform(false);
        benchmark::DoNotOptimize(reader.read());
    }
}
BENCHMARK(BM_QtDecode)->Apply(nameFormats);

void BM_DataCheck(benchmark::State& state)
{
    const QByteArray& bytes = fileBytes(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(vastrel::image::findDataFault(bytes));
}
BENCHMARK(BM_DataCheck)->Apply(nameFormats);

void BM_DecodePicture(benchmark::State& state)
{
    const QByteArray& bytes = fileBytes(int(state.range(0)));
    for (auto _ : state) {
        QBuffer device;
        device.setData(bytes);
        device.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(vastrel::image::decodePicture(device, QSize(1000, 800)));
    }
}
BENCHMARK(BM_DecodePicture)->Apply(nameFormats);

}  // namespace

int main(int argc, char** argv)
{
    // The JPEG decoder is a plugin, found through the application.
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
