// How well the scatter markers like a clicked one are found on the scatter
// plots scatter_markers.py draws with R, gnuplot, Grace and matplotlib. For
// every picture the search gets the plotting area and a click on a pixel of
// ink of one marker of the wanted series; each found centre is matched to
// the nearest true one within half the distance from that one to its
// nearest neighbour. Prints a table of the pictures, a summary by program
// and by case, and the misses.
//
// Usage: marker_accuracy FOLDER [PICTURE]   (the folder scatter_markers.py
//        wrote; with PICTURE, every true and found centre of it is printed)
//
// Bounds, on every picture:
//   at least 99 % of the markers found (95 % where a tenth of them overlap
//   in pairs), no found centre matching no marker, and every found centre
//   of a marker standing alone within 0.5 px of its data point; one of an
//   overlapping pair within kPairBound.

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "engine/digitize/ScatterMarkers.h"
#include "engine/image/DrawingArea.h"
#include "engine/image/ImageDecoding.h"

#include "AccuracyReport.h"

using namespace vastrel;

namespace {

constexpr double kFoundBound = 0.99;
constexpr double kFoundInPairsBound = 0.95;
constexpr double kCentreBound = 0.5;  // pixels
constexpr double kPairBound = 1.0;    // pixels, for a marker overlapping another

struct TrueMarker {
    double column = 0, row = 0;
    bool paired = false;
};

struct Picture {
    QString name, file, program, kase, kind, shape;
    digitize::PixelArea area;
    int clickX = 0, clickY = 0;
    std::vector<TrueMarker> markers;
};

Picture readPicture(const QJsonObject& json)
{
    Picture p;
    p.name = json["name"].toString();
    p.file = json["file"].toString();
    p.program = json["program"].toString();
    p.kase = json["case"].toString();
    p.kind = json["kind"].toString();
    p.shape = json["shape"].toString();
    const QJsonArray area = json["area"].toArray();
    p.area = {area[0].toInt(), area[1].toInt(), area[2].toInt(), area[3].toInt()};
    p.clickX = json["click"][0].toInt();
    p.clickY = json["click"][1].toInt();
    for (const QJsonValue m : json["markers"].toArray())
        p.markers.push_back({m["column"].toDouble(), m["row"].toDouble(), m["paired"].toBool()});
    return p;
}

struct Result {
    Picture picture;
    std::string failure;  // not loaded, or the search refused
    int found = 0, falseMarkers = 0, paired = 0, pairedFound = 0;
    double worst = 0, worstPaired = 0;  // pixels, over the matched markers alone and paired
    double milliseconds = 0;
    std::vector<std::string> misses;
};

// Set to print every centre of one picture, for a closer look at its misses.
QString centresOf;

// Each found centre to the nearest true marker within half the distance from
// that marker to its nearest neighbour, the closest matches first, every
// marker matched once.
void measure(Result& r, const std::vector<digitize::MarkerPoint>& centres)
{
    const std::vector<TrueMarker>& truth = r.picture.markers;
    std::vector<double> reach(truth.size(), 1e9);
    for (std::size_t i = 0; i < truth.size(); ++i)
        for (std::size_t j = 0; j < truth.size(); ++j)
            if (i != j)
                reach[i] = std::min(reach[i],
                                    0.5 * std::hypot(truth[i].column - truth[j].column, truth[i].row - truth[j].row));
    struct Candidate {
        double distance;
        std::size_t marker, centre;
    };
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < truth.size(); ++i)
        for (std::size_t k = 0; k < centres.size(); ++k) {
            const double d = std::hypot(centres[k].column - truth[i].column, centres[k].row - truth[i].row);
            if (d < reach[i]) candidates.push_back({d, i, k});
        }
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
    std::vector<char> markerUsed(truth.size(), 0), centreUsed(centres.size(), 0);
    std::vector<double> errorOf(truth.size(), NAN);
    for (const Candidate& c : candidates) {
        if (markerUsed[c.marker] || centreUsed[c.centre]) continue;
        markerUsed[c.marker] = centreUsed[c.centre] = 1;
        errorOf[c.marker] = c.distance;
    }
    for (std::size_t i = 0; i < truth.size(); ++i) {
        const bool matched = markerUsed[i];
        r.found += matched;
        r.paired += truth[i].paired;
        r.pairedFound += truth[i].paired && matched;
        if (matched) {
            double& worst = truth[i].paired ? r.worstPaired : r.worst;
            worst = std::max(worst, errorOf[i]);
        }
        if (r.picture.name == centresOf)
            std::printf("marker %3zu at %7.2f, %7.2f%s: %s\n", i, truth[i].column, truth[i].row,
                        truth[i].paired ? " (paired)" : "",
                        matched ? qPrintable(QString("found %1 px off").arg(errorOf[i], 0, 'f', 2)) : "MISSED");
    }
    for (std::size_t k = 0; k < centres.size(); ++k) {
        r.falseMarkers += !centreUsed[k];
        if (r.picture.name == centresOf && !centreUsed[k])
            std::printf("false marker at %7.2f, %7.2f\n", centres[k].column, centres[k].row);
    }
}

std::string format(const char* pattern, double a, double b)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

double share(int part, int whole)
{
    return whole ? double(part) / double(whole) : 1.0;
}

void judge(Result& r)
{
    if (!r.failure.empty()) {
        r.misses.push_back(r.failure);
        return;
    }
    const int markers = int(r.picture.markers.size());
    const double bound = r.paired ? kFoundInPairsBound : kFoundBound;
    if (share(r.found, markers) < bound)
        r.misses.push_back(
            format("%.1f %% of the markers found (bound %.0f %%)", 100 * share(r.found, markers), 100 * bound));
    if (r.falseMarkers > 0) r.misses.push_back(format("%.0f false markers (bound %.0f)", r.falseMarkers, 0));
    if (r.worst > kCentreBound)
        r.misses.push_back(format("a centre %.2f px off (bound %.1f px)", r.worst, kCentreBound));
    if (r.worstPaired > kPairBound)
        r.misses.push_back(format("a paired marker's centre %.2f px off (bound %.1f px)", r.worstPaired, kPairBound));
}

Result measurePicture(const QString& folder, const Picture& p)
{
    Result r;
    r.picture = p;
    auto loaded = image::LoadPicture(folder + "/" + p.file, image::kDrawingAreaSize);
    if (const auto* failure = std::get_if<image::ImageLoadFailure>(&loaded)) {
        r.failure = "not loaded: " + failure->reason.toStdString();
        return r;
    }
    const QImage area = image::composeDrawingArea(std::get<QImage>(loaded));
    const image::PixelView view = image::pixelViewOf(area);
    QElapsedTimer clock;
    clock.start();
    const digitize::MarkerSearch search = digitize::findScatterMarkers(view, p.area, p.clickX, p.clickY);
    r.milliseconds = double(clock.nsecsElapsed()) / 1e6;
    if (!search.ok())
        r.failure = "refused: " + search.refusal;
    else
        measure(r, search.centres);
    return r;
}

struct Summary {
    int pictures = 0, passed = 0, markers = 0, found = 0, falseMarkers = 0, paired = 0, pairedFound = 0;
    double worst = 0, worstPaired = 0;

    void add(const Result& r)
    {
        ++pictures;
        passed += r.misses.empty();
        markers += int(r.picture.markers.size());
        found += r.found;
        falseMarkers += r.falseMarkers;
        paired += r.paired;
        pairedFound += r.pairedFound;
        worst = std::max(worst, r.failure.empty() ? r.worst : INFINITY);
        worstPaired = std::max(worstPaired, r.worstPaired);
    }
};

void printSummaries(const char* by, const std::map<QString, Summary>& groups)
{
    std::printf("\n%-14s pictures passed  markers   found  false  worst centre | paired  found  worst paired\n", by);
    for (const auto& [name, s] : groups) {
        std::printf("  %-12s %8d %6d %8d %6.2f%% %6d %10.2f px |", qPrintable(name), s.pictures, s.passed, s.markers,
                    100 * share(s.found, s.markers), s.falseMarkers, s.worst);
        if (s.paired)
            std::printf(" %6d %5.1f%% %9.2f px\n", s.paired, 100 * share(s.pairedFound, s.paired), s.worstPaired);
        else
            std::printf(" %6s %6s %12s\n", "-", "-", "-");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const auto arguments = accuracy::harnessArguments(argc, argv, "PICTURE", "centres");
    if (!arguments) return 2;
    const QString folder = arguments->folder;
    centresOf = arguments->shown;
    const auto measured = accuracy::measureRecords(folder, [&](const QJsonObject& record) {
        Result result = measurePicture(folder, readPicture(record));
        judge(result);
        return result;
    });
    if (!measured) return 2;
    const std::vector<Result>& results = *measured;

    std::printf("%-40s %-10s %-8s %-9s %-16s | %7s %5s %5s %6s %7s %6s %5s\n", "picture", "program", "case", "kind",
                "marker", "markers", "found", "false", "worst", "paired", "worst", "ms");
    std::map<QString, Summary> byProgram, byCase, all;
    for (const Result& r : results) {
        const Picture& p = r.picture;
        std::printf("%-40s %-10s %-8s %-9s %-16s |", qPrintable(p.name), qPrintable(p.program), qPrintable(p.kase),
                    qPrintable(p.kind), qPrintable(p.shape));
        if (!r.failure.empty())
            std::printf(" %-47s", r.failure.substr(0, 47).c_str());
        else if (r.paired)
            std::printf(" %7zu %5d %5d %6.2f %3d/%-3d %6.2f %5.1f", p.markers.size(), r.found, r.falseMarkers, r.worst,
                        r.pairedFound, r.paired, r.worstPaired, r.milliseconds);
        else
            std::printf(" %7zu %5d %5d %6.2f %7s %6s %5.1f", p.markers.size(), r.found, r.falseMarkers, r.worst, "-",
                        "-", r.milliseconds);
        std::printf("  %s\n", r.misses.empty() ? "pass" : "MISS");
        byProgram[p.program].add(r);
        byCase[p.kase].add(r);
        all["all"].add(r);
    }
    printSummaries("by program", byProgram);
    printSummaries("by case", byCase);
    printSummaries("in all", all);

    const int missed = accuracy::printMisses(results, [](const Result& r) { return r.picture.name; });
    std::printf("%spictures within their bounds: %d of %zu\n", missed ? "\n\n" : "\n", int(results.size()) - missed,
                results.size());
    return missed == 0 && !results.empty() ? 0 : 1;
}
