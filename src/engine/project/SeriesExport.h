#pragma once
// The JSON file "すべての系列を保存" writes beside the CSV, and the command
// line's --format json: every series with its points, and what they were
// converted with, so that a script can check which picture and which
// calibration a table came from.

#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/References.h"
#include "engine/results/Series.h"

namespace vastrel::project {

inline constexpr const char* kSeriesFormat = "vastrel-digitizer series";
inline constexpr int kSeriesVersion = 1;

struct SeriesExport {
    QString imageName;    // the file's name, without its folder
    QString imageSha256;  // of its bytes; empty for a pasted picture
    digitize::References refs;
    std::vector<digitize::ReferencePoint> more;  // beside the start and end points
    std::span<const results::Series> series;
    QString program;  // "vastrel-digitizer 1.0.0"
};

// The same bytes for the same export; numbers in their shortest exact form.
QByteArray seriesJson(const SeriesExport& contents);

// "darkest", "colour" or "markers", as both files name the rules.
QString ruleName(results::SeriesRule rule);

}  // namespace vastrel::project
