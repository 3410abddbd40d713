#pragma once
// The column scan written the way the original program did it, one pixel
// read-back and one hexadecimal text per pixel. It is far too slow for the
// program; the tests use it as the independent reference for scanColumns and
// the benchmark measures against it.

#include <vector>

#include "engine/image/PixelView.h"
#include "engine/digitize/References.h"

namespace vastrel::digitize {

// Same contract and result as scanColumns (ColumnScan.h).
std::vector<float> scanColumnsPerPixel(const image::PixelView& view, const References& refs);

}  // namespace vastrel::digitize
