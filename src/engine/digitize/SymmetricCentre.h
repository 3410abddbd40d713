#pragma once
// The centre of a marker that is its own mirror image through its centre (a
// circle, a square, a diamond, a cross): the point about which the ink around
// it is most nearly so too. Ink that has no mirror image, a line running out
// of the marker on one side or another colour's ink blurred into its edge,
// weighs the same wherever the centre is put near it, so it pulls the
// centre nowhere, as it pulls an ink-weighted one.

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

}  // namespace vastrel::digitize::markers
