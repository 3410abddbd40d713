// Helper of bench/batch.sh: makes the batch of graph pictures, and measures
// the floor of a batch, decoding the same files with the engine's own
// decoding and nothing else.
//
//   batch_images generate FOLDER COUNT   graph-0000.png ... 1000 x 800 PNG graphs
//   batch_images decode FILE...          decodes each file in turn, one thread

#include "engine/image/DrawingArea.h"
#include "engine/image/ImageDecoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <variant>

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 800;

// A plotted graph as a plotting program exports it: white paper, a light grid,
// a black frame with ticks, a smooth curve with point markers, and a legend
// box; each picture's curve differs, so no two files are alike.
QImage graphPicture(int index)
{
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plot(80, 40, 860, 680);
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    for (int k = 1; k < 10; ++k) {
        painter.drawLine(QPointF(plot.left() + plot.width() * k / 10, plot.top()),
                         QPointF(plot.left() + plot.width() * k / 10, plot.bottom()));
        painter.drawLine(QPointF(plot.left(), plot.top() + plot.height() * k / 10),
                         QPointF(plot.right(), plot.top() + plot.height() * k / 10));
    }
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(plot);
    for (int k = 0; k <= 20; ++k) {
        const double x = plot.left() + plot.width() * k / 20, y = plot.top() + plot.height() * k / 20;
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 8));
        painter.drawLine(QPointF(plot.left() - 8, y), QPointF(plot.left(), y));
    }
    const double phase = 0.37 * index, frequency = 2.0 + (index % 7) * 0.5;
    QPainterPath curve;
    for (int x = 0; x <= plot.width(); ++x) {
        const double u = x / plot.width();
        const QPointF at(plot.left() + x,
                         plot.bottom() -
                             plot.height() * (0.5 + 0.35 * std::sin(frequency * 6.28 * u + phase) * (1 - 0.4 * u)));
        x == 0 ? curve.moveTo(at) : curve.lineTo(at);
    }
    painter.setPen(QPen(QColor(30, 60, 170), 2.5));
    painter.drawPath(curve);
    painter.setBrush(QColor(200, 40, 40));
    painter.setPen(Qt::NoPen);
    for (int k = 0; k < curve.elementCount(); k += 43) painter.drawEllipse(QPointF(curve.elementAt(k)), 4, 4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(QRectF(plot.right() - 190, plot.top() + 15, 170, 50));
    painter.setPen(QPen(QColor(30, 60, 170), 2.5));
    painter.drawLine(QPointF(plot.right() - 175, plot.top() + 40), QPointF(plot.right() - 120, plot.top() + 40));
    return picture;
}

int generate(const QString& folder, int count)
{
    if (!QDir().mkpath(folder)) return 1;
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("graph-%1.png").arg(i, 4, 10, QLatin1Char('0')));
        if (!graphPicture(i).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}

int decode(const QStringList& files)
{
    int failed = 0;
    for (const QString& file : files) {
        const auto loaded = vastrel::image::LoadPicture(file, vastrel::image::kDrawingAreaSize);
        if (std::holds_alternative<vastrel::image::ImageLoadFailure>(loaded)) ++failed;
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (command == QLatin1String("generate") && arguments.size() == 2)
        return generate(arguments[0], arguments[1].toInt());
    if (command == QLatin1String("decode")) return decode(arguments);
    std::fprintf(stderr, "usage: batch_images generate FOLDER COUNT | decode FILE...\n");
    return 2;
}
