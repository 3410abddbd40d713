#pragma once
// The kept series over the result window's plot, each in its own colour,
// with a small legend: a curve as a line through its points, markers as
// small circles. Drawn in the frame the plot shows, as the curve of a run is.

#include <QColor>
#include <QPainter>

#include "engine/digitize/PixelCalibration.h"
#include "engine/results/SeriesSet.h"

namespace vastrel::results {

// The colour a series is shown in: its own, or one of a few distinct ones
// for the darkest pixel, by its place in the set.
QColor seriesColour(const Series& series, std::size_t place);

// Every series of `set`; `calibration` puts their picture positions into the plot.
void paintSeries(QPainter& painter, const SeriesSet& set, const digitize::PixelCalibration& calibration);

}  // namespace vastrel::results
