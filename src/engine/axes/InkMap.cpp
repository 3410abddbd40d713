#include "engine/axes/InkMap.h"

#include <algorithm>
#include <cmath>

namespace vastrel::axes {

InkMap::InkMap(const image::PixelView& picture)
    : width_(picture.width), height_(picture.height), ink_(std::size_t(picture.width) * std::size_t(picture.height))
{
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* row = picture.pixels + std::ptrdiff_t(y) * picture.stride;
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t argb = row[x];
            // The brightest channel: a saturated red or blue is bright in one.
            const int brightest = int(std::max({(argb >> 16) & 0xFFu, (argb >> 8) & 0xFFu, argb & 0xFFu}));
            ink_[std::size_t(y) * std::size_t(width_) + std::size_t(x)] = std::uint8_t(255 - brightest);
        }
    }
}

double InkMap::sample(double column, double row) const
{
    const double c0 = std::floor(column), r0 = std::floor(row);
    const double fc = column - c0, fr = row - r0;
    const int c = int(c0), r = int(r0);
    return (1 - fr) * ((1 - fc) * at(c, r) + fc * at(c + 1, r)) + fr * ((1 - fc) * at(c, r + 1) + fc * at(c + 1, r + 1));
}

}  // namespace vastrel::axes
