#pragma once
// A read-only view of the pixels a picture box shows, as 32-bit 0xAARRGGBB
// words (the layout of a Qt RGB32 image), so the scan can read them without
// any display library.

#include <cstddef>
#include <cstdint>

namespace vastrel::image {

struct PixelView {
    const std::uint32_t* pixels = nullptr;  // first pixel of the top row
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  // distance between rows, in pixels

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    // The colour shown at (x, y) as &H00BBGGRR, or -1 outside the area.
    // Positions are taken at the pixel they fall in.
    std::int32_t point(double x, double y) const
    {
        if (!(x >= 0.0 && y >= 0.0 && x < width && y < height)) return -1;
        const std::uint32_t argb = pixels[static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x)];
        const std::uint32_t r = (argb >> 16) & 0xFFu, g = (argb >> 8) & 0xFFu, b = argb & 0xFFu;
        return static_cast<std::int32_t>(r | (g << 8) | (b << 16));
    }
};

}  // namespace vastrel::image
