#pragma once
// A marker's centre told in ways that ink not its own does not move: a line
// running out of the marker on one side, another colour's ink blurred into
// its edge. Such ink weighs the same wherever the centre is put near it, so
// it pulls these centres nowhere, unlike an ink-weighted one.

#include <functional>
#include <utility>

#include "engine/digitize/MarkerTemplate.h"

namespace vastrel::digitize::markers {

// True where the template's ink is its own mirror image through its centre
// to within a small share of it.
bool pointSymmetric(const Template& t);

// The centre near (x, y), in grid pixels, about which the grid's ink under
// the template's footprint placed from (left, top) is most nearly its own
// mirror image; pixels `skip` names are left out with their mirror images.
std::pair<double, double> symmetricCentre(const Grid& g, const Template& t, int left, int top, double x, double y,
                                          const std::function<bool(int, int)>& skip);

// The centre near (x, y), in grid pixels, with the template moved there
// between pixels nearest the grid's ink in sum of absolute differences over
// its box placed from (left, top) and a pixel around; pixels `skip` names
// are left out. For a marker that is not its own mirror image.
std::pair<double, double> fittedCentre(const Grid& g, const Template& t, int left, int top, double x, double y,
                                       const std::function<bool(int, int)>& skip);

}  // namespace vastrel::digitize::markers
