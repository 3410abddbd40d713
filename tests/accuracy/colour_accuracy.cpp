// How well the curve is found by its colour on graphs drawn by matplotlib
// (plot_graphs.py), against the plotted functions: prints the figures of every
// graph, with those of the darkest-pixel rule beside them, and fails when a
// graph misses its bound.
//
// Usage: colour_accuracy FOLDER   (the folder plot_graphs.py wrote)
//
// Bounds, by graph:
//   crossing-*, log-linear  >= 99 % of the points within 0.5 % of full scale
//                           in Y, none beyond 2 %; X within 1e-9 relative
//   single, single-fringe   RMS error of the rows at most 0.2 pixel (the
//                           latter's colour taken at a pale fringe pixel)
//   markers-*               a point at every marker column, within 1 pixel
//                           of the marker centre

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "engine/digitize/CurveColour.h"
#include "engine/digitize/DigitizeRun.h"
#include "engine/image/DrawingArea.h"

using namespace vastrel;

namespace {

struct Figures {
    std::size_t points = 0;
    double within05 = 0.0;    // share of points within 0.5 % of full scale
    double worstShare = 0.0;  // worst error, share of full scale
    double worstRelativeX = 0.0;
    double rmsRows = 0.0;
    double worstMarkerRows = 0.0;  // worst row error at a marker column
    int markersMissed = 0;         // marker columns the result does not reach
};

Figures measure(const digitize::DigitizeOutcome& outcome, const QJsonObject& graph, double fullScale)
{
    const QJsonArray columns = graph["columns"].toArray();
    Figures f;
    f.points = outcome.points.size();
    std::size_t within = 0;
    double squares = 0.0;
    for (std::size_t i = 0; i < outcome.points.size(); ++i) {
        const QJsonObject truth = columns[static_cast<qsizetype>(outcome.firstColumn + i)].toObject();
        const digitize::DigitizedPoint& p = outcome.points[i];
        const double share = std::abs(p.y - truth["y"].toDouble()) / fullScale;
        within += share <= 0.005;
        f.worstShare = std::max(f.worstShare, share);
        f.worstRelativeX = std::max(f.worstRelativeX, std::abs(p.x / truth["x"].toDouble() - 1.0));
        const double rows = p.pixelRow - truth["row"].toDouble();
        squares += rows * rows;
    }
    f.within05 = f.points ? static_cast<double>(within) / static_cast<double>(f.points) : 0.0;
    f.rmsRows = f.points ? std::sqrt(squares / static_cast<double>(f.points)) : 0.0;

    const int firstColumn = graph["corners"].toArray()[0].toInt() + 2 + static_cast<int>(outcome.firstColumn);
    for (const QJsonValue marker : graph["markers"].toArray()) {
        const int i = marker["column"].toInt() - firstColumn;
        if (i < 0 || i >= static_cast<int>(f.points)) {
            ++f.markersMissed;
            continue;
        }
        f.worstMarkerRows = std::max(f.worstMarkerRows, std::abs(outcome.points[static_cast<std::size_t>(i)].pixelRow -
                                                                 marker["row"].toDouble()));
    }
    return f;
}

bool withinBounds(const QString& name, const Figures& f)
{
    if (name.startsWith("crossing") || name == "log-linear")
        return f.within05 >= 0.99 && f.worstShare <= 0.02 && f.worstRelativeX <= 1e-9;
    if (name.startsWith("single")) return f.rmsRows <= 0.2;
    if (name.startsWith("markers")) return f.worstMarkerRows <= 1.0 && f.markersMissed == 0;
    return false;
}

void print(const char* rule, const Figures& f)
{
    std::printf("  %-8s points %4zu  within 0.5%% %6.2f%%  worst %6.3f%%  rel. X %.1e  RMS rows %.3f  markers %.2f px, "
                "%d missed\n",
                rule, f.points, 100.0 * f.within05, 100.0 * f.worstShare, f.worstRelativeX, f.rmsRows,
                f.worstMarkerRows, f.markersMissed);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QFile file(folder + "/graphs.json");
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
        return 2;
    }
    const QJsonArray graphs = QJsonDocument::fromJson(file.readAll()).array();
    int failed = 0;
    for (const QJsonValue value : graphs) {
        const QJsonObject graph = value.toObject();
        const QString name = graph["name"].toString();
        const QImage picture(folder + "/" + graph["file"].toString());
        const QImage area = image::composeDrawingArea(picture);
        const image::PixelView view = image::pixelViewOf(area);

        const QJsonArray corners = graph["corners"].toArray(), typed = graph["typed"].toArray();
        digitize::References refs;
        refs.startX = static_cast<float>(corners[0].toInt());
        refs.startY = static_cast<float>(corners[1].toInt());
        refs.endX = static_cast<float>(corners[2].toInt());
        refs.endY = static_cast<float>(corners[3].toInt());
        refs.x1 = typed[0].toString().toDouble();
        refs.y1 = typed[1].toString().toDouble();
        refs.x2 = typed[2].toString().toDouble();
        refs.y2 = typed[3].toString().toDouble();
        refs.mode = static_cast<digitize::ScaleMode>(graph["mode"].toInt());

        // The colour of the clicked pixel, as Ctrl + click takes it.
        const int cx = graph["click"].toArray()[0].toInt(), cy = graph["click"].toArray()[1].toInt();
        const QRgb clicked = area.pixel(cx, cy);
        const digitize::CurveColour colour{static_cast<std::uint8_t>(qRed(clicked)),
                                           static_cast<std::uint8_t>(qGreen(clicked)),
                                           static_cast<std::uint8_t>(qBlue(clicked)), cx, cy};

        const double fullScale = std::abs(refs.y2 - refs.y1);
        const digitize::DigitizeOutcome byColour = digitize::digitize(view, refs, colour);
        const digitize::DigitizeOutcome darkest = digitize::digitize(view, refs);
        if (!byColour.ok() || !darkest.ok()) {
            std::printf("FAIL %s: refused: %s%s\n", qPrintable(name), byColour.refusal.c_str(),
                        darkest.refusal.c_str());
            ++failed;
            continue;
        }
        const Figures figures = measure(byColour, graph, fullScale);
        const bool pass = withinBounds(name, figures);
        failed += !pass;
        std::printf("%s %s (colour %d, %d, %d taken at %d, %d)\n", pass ? "PASS" : "FAIL", qPrintable(name), colour.red,
                    colour.green, colour.blue, cx, cy);
        print("colour", figures);
        print("darkest", measure(darkest, graph, fullScale));
    }
    std::printf("graphs within their bounds: %d of %d\n", static_cast<int>(graphs.size()) - failed,
                static_cast<int>(graphs.size()));
    return failed == 0 && !graphs.isEmpty() ? 0 : 1;
}
