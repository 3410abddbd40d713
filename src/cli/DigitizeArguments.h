#pragma once
// The arguments of "vastrel-digitizer digitize", read into one request. Every
// mistake is found here, before any image is touched.

#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/References.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

namespace vastrel::cli {

// One series to find on each image: a curve of the colour at a pixel
// (--colour-at), or the markers like the one at a pixel (--markers).
struct SeriesRequest {
    enum class Rule { Colour, Markers };
    Rule rule = Rule::Colour;
    QPoint at;  // on the image area; its colour is read after the erasures

    bool operator==(const SeriesRequest&) const = default;
};

// What each image gives: the file of its series, or their JSON with what they
// were converted with.
enum class OutputFormat { Csv, Json };

struct DigitizeRequest {
    QStringList images;
    // The two picks, in pixels of the drawing area (the image's own pixels).
    QPoint start;
    QPoint end;
    // The texts typed into the four coordinate boxes: start X, start Y, end X,
    // end Y; read like the boxes read them.
    QString x1, y1, x2, y2;
    digitize::ScaleMode mode = digitize::ScaleMode::LinearLinear;
    QString output;               // as given after -o; empty when not given
    int jobs = 0;                 // 0: one per core
    std::vector<QRect> erasures;  // applied in this order
    // The series in the order given, --colour-at and --markers alike; none
    // for the one curve of the darkest pixel in each column.
    std::vector<SeriesRequest> series;
    // When the one series is a curve by colour (a lone --colour-at, all there
    // could be before series): its pixel, for a caller that knows a single
    // curve only. None otherwise.
    std::optional<QPoint> colourAt;
    // Reference points besides the two picks, in the order given (--ref).
    std::vector<digitize::ReferencePoint> references;
    // The frame's other two corners found on each image, as points 3 and 4.
    bool frameCorners = false;
    // Each image calibrated from its own axes, ticks and tick labels, in
    // place of the picks, their texts, the mode and the reference points.
    bool autoAxes = false;
    // The project file (--project) that sets the references, the erasures and
    // the series in place of the options above; empty when none was given.
    QString project;
    OutputFormat format = OutputFormat::Csv;
};

struct ArgumentError {
    QString message;  // one line, naming the option and what was wrong
};

struct HelpWanted {};  // --help or -h where an option can stand

// `arguments` are those after "digitize". Options take their value as the
// next argument, whatever it starts with, or after "=" in the same argument;
// "--" ends the options. With --project, the options it stands for are
// refused rather than mixed with it.
std::variant<DigitizeRequest, ArgumentError, HelpWanted> parseDigitizeArguments(const QStringList& arguments);

// One line for each of the four texts whose reading differs from what it
// shows ("7,5" reads 7, "12 V" reads 12): the option, the text, the value
// read and what was left unread.
QStringList readingWarnings(const DigitizeRequest& request);

// The names --mode accepts, in the order the windows offer the modes.
QStringList scaleModeNames();

}  // namespace vastrel::cli
