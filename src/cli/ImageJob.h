#pragma once
// One image taken the way the windows take it: decoded with the same limits,
// shown unscaled on the same drawing area, the erasures painted over it, then
// each series asked for found and converted, and turned into the bytes the
// save dialog writes for one series, or those of the file of all series.

#include "cli/DigitizeArguments.h"
#include "engine/axes/LabelReader.h"
#include "engine/digitize/CurveColour.h"
#include "engine/digitize/References.h"
#include "engine/results/Series.h"

#include <QIODevice>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vastrel::cli {

// One series to find on each image, asked for by an option or kept in a project.
struct SeriesToFind {
    results::SeriesRule rule = results::SeriesRule::Colour;
    QPoint at;  // where the colour is read, the curve followed from, the marker clicked
    // A project's colour, taken as saved; none: the colour shown at `at`
    // after the erasures, as --colour-at and --markers take it.
    std::optional<digitize::CurveColour> colour;
    QString name;  // a project's; empty: numbered 1, 2, ... in order
};

struct DigitizeSettings {
    digitize::References references;
    std::vector<QRect> erasures;
    std::vector<SeriesToFind> series;            // in order; none: the darkest pixel's curve
    std::vector<digitize::ReferencePoint> more;  // reference points besides the two picks
    bool frameCorners = false;                   // the frame's other corners found on each image
    bool autoAxes = false;                       // each image calibrated from its own axes
    OutputFormat format = OutputFormat::Csv;
};

// The picks and the four texts, read as the coordinate boxes read them.
DigitizeSettings settingsOf(const DigitizeRequest& request);

struct ImageOutcome {
    std::string bytes;         // the file's: the CSV, or the JSON of the series
    QString failure;           // why the image gave none; empty when it did
    bool outOfMemory = false;  // the failure was a shortage of memory, worth a try alone
    QString warning;           // said of an image that gave its file all the same

    bool ok() const { return failure.isEmpty(); }
};

// Digitizes one image after another with the same settings. Each worker of a
// batch has its own: the drawing area's memory is kept from one image to the
// next.
class ImageDigitizer {
public:
    explicit ImageDigitizer(const DigitizeSettings& settings) : settings_(settings) {}

    // The image file, open for reading at its start; `path` names it in the
    // JSON, by its name without the folder, as the windows do.
    ImageOutcome digitize(QIODevice& file, const QString& path = {});

private:
    const DigitizeSettings& settings_;
    QImage area_;
    std::unique_ptr<axes::LabelReader> reader_;  // loaded with the first image that needs it
};

}  // namespace vastrel::cli
