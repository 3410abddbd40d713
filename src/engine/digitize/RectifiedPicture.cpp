#include "engine/digitize/RectifiedPicture.h"

#include <algorithm>
#include <cmath>

#include "engine/image/DrawingArea.h"

namespace vastrel::digitize {

namespace {

// The start and end points' frame: rectified pixel (x, y) to the frame
// position (u, v) the conversion of the two points gives it, u from u1 at
// startX to u2 at endX, v from v1 at startY to v2 at endY.
Homography frameOfRectified(const References& refs, const FittedMapping& mapping)
{
    const PlanePoint first = mapping.frameOf(refs.x1, refs.y1), last = mapping.frameOf(refs.x2, refs.y2);
    const double sx = refs.startX, sy = refs.startY, ex = refs.endX, ey = refs.endY;
    const double du = (last.x - first.x) / (ex - sx), dv = (last.y - first.y) / (ey - sy);
    return Homography({du, 0, first.x - sx * du, 0, dv, first.y - sy * dv, 0, 0, 1});
}

// The picture's pixel at (x, y), or the image area's grey off the picture.
std::uint32_t pixelAt(const image::PixelView& picture, int x, int y)
{
    if (!picture.contains(x, y)) return image::kDrawingAreaBackground;
    return picture.pixels[std::ptrdiff_t(y) * picture.stride + x];
}

// The picture between its pixel centres, channel by channel, weights in
// 256ths of a pixel.
std::uint32_t bilinear(const image::PixelView& picture, double x, double y)
{
    const double fx = std::floor(x), fy = std::floor(y);
    if (!(fx > -2.0 && fy > -2.0 && fx < picture.width + 1.0 && fy < picture.height + 1.0))
        return image::kDrawingAreaBackground;
    const int x0 = int(fx), y0 = int(fy);
    const auto wx = std::uint32_t(std::lround((x - fx) * 256)), wy = std::uint32_t(std::lround((y - fy) * 256));
    const std::uint32_t p00 = pixelAt(picture, x0, y0), p10 = pixelAt(picture, x0 + 1, y0);
    const std::uint32_t p01 = pixelAt(picture, x0, y0 + 1), p11 = pixelAt(picture, x0 + 1, y0 + 1);
    std::uint32_t out = 0xFF000000u;
    for (const int shift : {0, 8, 16}) {
        const auto channel = [shift](std::uint32_t p) { return (p >> shift) & 0xFFu; };
        const std::uint32_t top = channel(p00) * (256 - wx) + channel(p10) * wx;
        const std::uint32_t bottom = channel(p01) * (256 - wx) + channel(p11) * wx;
        out |= ((top * (256 - wy) + bottom * wy + (1u << 15)) >> 16) << shift;
    }
    return out;
}

}  // namespace

RectifiedPicture::RectifiedPicture(const image::PixelView& picture, const References& refs,
                                   const FittedMapping& mapping)
    : width_(picture.width), height_(picture.height),
      pixels_(std::size_t(std::max(width_, 0)) * std::size_t(std::max(height_, 0)), image::kDrawingAreaBackground)
{
    const Homography toFrame = frameOfRectified(refs, mapping);
    const Homography toPicture = mapping.toPicture() * toFrame;
    fromPicture_ = toPicture.inverse().value_or(Homography());

    // The rectangle between the two points, and two pixels around it for
    // the scans' neighbourhoods.
    const auto clampTo = [](double v, int limit) { return int(std::clamp(v, 0.0, double(limit))); };
    const int left = clampTo(std::floor(std::min(refs.startX, refs.endX)) - 2, width_);
    const int right = clampTo(std::ceil(std::max(refs.startX, refs.endX)) + 3, width_);
    const int top = clampTo(std::floor(std::min(refs.startY, refs.endY)) - 2, height_);
    const int bottom = clampTo(std::ceil(std::max(refs.startY, refs.endY)) + 3, height_);
    const auto& m = toPicture.coefficients();
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = pixels_.data() + std::ptrdiff_t(y) * width_;
        // The mapping along a row: numerators and denominator grow by a
        // constant step from one pixel to the next.
        double nx = m[0] * left + m[1] * y + m[2], ny = m[3] * left + m[4] * y + m[5];
        double w = m[6] * left + m[7] * y + m[8];
        for (int x = left; x < right; ++x) {
            row[x] = bilinear(picture, nx / w, ny / w);
            nx += m[0];
            ny += m[3];
            w += m[6];
        }
    }
}

image::PixelView RectifiedPicture::view() const
{
    return {pixels_.data(), width_, height_, width_};
}

}  // namespace vastrel::digitize
