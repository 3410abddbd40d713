#pragma once
// The round values a calibration grid is drawn at, so that a user sees at a
// glance whether the fitted axes lie on the printed grid and ticks.

#include <vector>

namespace vastrel::digitize {

// Values between `from` and `to` (in either order, both included): on a
// linear axis the multiples of one step of 1, 2 or 5 times a power of ten,
// five to twelve of them; on a logarithmic axis the powers of ten, and 2 and
// 5 times them where the axis spans few decades. Nothing on a logarithmic
// axis that reaches 0 or below, or on one of no extent.
std::vector<double> gridValues(double from, double to, bool logarithmic);

}  // namespace vastrel::digitize
