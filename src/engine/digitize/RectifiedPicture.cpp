#include "engine/digitize/RectifiedPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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

// a + (b - a) w / 256 for the red and blue bytes at once, and then for
// green: each lane's product stays within its 16 bits.
std::uint32_t mix(std::uint32_t a, std::uint32_t b, std::uint32_t w)
{
    const std::uint32_t rb = ((a & 0x00FF00FFu) * (256 - w) + (b & 0x00FF00FFu) * w) >> 8;
    const std::uint32_t g = (((a >> 8) & 0xFFu) * (256 - w) + ((b >> 8) & 0xFFu) * w) >> 8;
    return (rb & 0x00FF00FFu) | (g << 8);
}

// The picture between its pixel centres at (x, y), given in 256ths of a
// pixel: a position within a 256th of a pixel centre is that pixel itself.
std::uint32_t bilinear(const image::PixelView& picture, int x256, int y256)
{
    const int x0 = x256 >> 8, y0 = y256 >> 8;
    const auto wx = std::uint32_t(x256 & 0xFF), wy = std::uint32_t(y256 & 0xFF);
    std::uint32_t p00, p10, p01, p11;
    if (x0 >= 0 && y0 >= 0 && x0 + 1 < picture.width && y0 + 1 < picture.height) {
        const std::uint32_t* at = picture.pixels + std::ptrdiff_t(y0) * picture.stride + x0;
        p00 = at[0];
        p10 = at[1];
        p01 = at[picture.stride];
        p11 = at[picture.stride + 1];
    } else {
        p00 = pixelAt(picture, x0, y0);
        p10 = pixelAt(picture, x0 + 1, y0);
        p01 = pixelAt(picture, x0, y0 + 1);
        p11 = pixelAt(picture, x0 + 1, y0 + 1);
    }
    return 0xFF000000u | mix(mix(p00, p10, wx), mix(p01, p11, wx), wy);
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
    // Along a row the mapping is exact every few pixels and straight in
    // between, in 65536ths of a pixel: within a millionth of a pixel of the
    // exact position on any page a camera sees, and exact where the mapping
    // is affine.
    constexpr int kRun = 16;
    const auto at = [&toPicture](int x, int y) { return toPicture.apply({double(x), double(y)}); };
    const auto fixed = [](double position) {
        return std::int64_t(std::llround(std::clamp(position, -1.0e6, 1.0e6) * 65536.0));
    };
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = pixels_.data() + std::ptrdiff_t(y) * width_;
        PlanePoint from = at(left, y);
        for (int x = left; x < right; x += kRun) {
            const int count = std::min(kRun, right - x);
            const PlanePoint to = at(x + count, y);
            std::int64_t px = fixed(from.x), py = fixed(from.y);
            const std::int64_t dx = (fixed(to.x) - px) / count, dy = (fixed(to.y) - py) / count;
            for (int k = 0; k < count; ++k, px += dx, py += dy)
                row[x + k] = bilinear(picture, int((px + 128) >> 8), int((py + 128) >> 8));
            from = to;
        }
    }
}

image::PixelView RectifiedPicture::view() const
{
    return {pixels_.data(), width_, height_, width_};
}

}  // namespace vastrel::digitize
