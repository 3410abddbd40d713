#pragma once
// Points of a series corrected by hand on the picture: found near a click or
// inside a rubber band, moved, deleted and added. Every changed point takes
// its values from the calibration at its new place, so the values always
// say where the point lies.

#include <QRectF>
#include <optional>
#include <vector>

#include "engine/digitize/PixelCalibration.h"
#include "engine/results/Series.h"

namespace vastrel::digitize {

// The point nearest `pixel` within `radius` picture pixels, if any.
std::optional<std::size_t> pointNear(const results::Series& series, PlanePoint pixel, double radius);

// The points inside `area`, edges included, in the series' order.
std::vector<std::size_t> pointsInside(const results::Series& series, const QRectF& area);

// Moves the points `which` by (dx, dy) picture pixels. False, with nothing
// changed, when a point would get values that are no number (off a
// logarithmic axis's range).
bool movePoints(results::Series& series, const std::vector<std::size_t>& which, double dx, double dy,
                const PixelCalibration& calibration);

// Deletes the points `which` (any order, repeats allowed).
void deletePoints(results::Series& series, std::vector<std::size_t> which);

// A point at `pixel`, placed among the others by its X; its index, or none
// when its values would be no number.
std::optional<std::size_t> addPoint(results::Series& series, PlanePoint pixel, const PixelCalibration& calibration);

}  // namespace vastrel::digitize
