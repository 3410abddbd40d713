#pragma once
// One image taken the way the windows take it: decoded with the same limits,
// shown unscaled on the same drawing area, the erasures painted over it, then
// each series asked for found and converted, and turned into the bytes the
// save dialog writes for one series, or those of the file of all series.

#include "cli/DigitizeArguments.h"
#include "engine/digitize/References.h"

#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace vastrel::cli {

struct DigitizeSettings {
    digitize::References references;
    std::vector<QRect> erasures;
    std::vector<SeriesRequest> series;           // in order; none: the darkest pixel's curve
    std::vector<digitize::ReferencePoint> more;  // reference points besides the two picks
    bool frameCorners = false;                   // the frame's other corners found on each image
};

// The picks and the four texts, read as the coordinate boxes read them.
DigitizeSettings settingsOf(const DigitizeRequest& request);

struct ImageOutcome {
    std::string csv;           // the CSV file's bytes
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

    // The image file, open for reading at its start.
    ImageOutcome digitize(QIODevice& file);

private:
    const DigitizeSettings& settings_;
    QImage area_;
};

}  // namespace vastrel::cli
