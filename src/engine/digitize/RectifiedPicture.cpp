#include "engine/digitize/RectifiedPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/image/DrawingArea.h"

namespace vastrel::digitize {

namespace {

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

// Whether `blend` is `ink` thinned with white paper, as where a thin line
// and the paper share a resampled pixel, within `slack` in each component,
// and still a quarter ink at least: a faint tinge is no line.
bool thinnedWithPaper(std::uint32_t blend, std::uint32_t ink, int slack)
{
    double along = 0, length = 0;
    int b[3], c[3];
    for (int k = 0; k < 3; ++k) {
        b[k] = int((blend >> (8 * k)) & 0xFFu);
        c[k] = int((ink >> (8 * k)) & 0xFFu);
        along += double(b[k] - c[k]) * (255 - c[k]);
        length += double(255 - c[k]) * (255 - c[k]);
    }
    if (length == 0) return false;
    const double t = along / length;  // 0 the ink itself, 1 the paper
    if (t < 0 || t > 0.75) return false;
    for (int k = 0; k < 3; ++k)
        if (std::abs(b[k] - (c[k] + t * (255 - c[k]))) > slack) return false;
    return true;
}

// The blend itself, or, where it no longer shows the colour kept but is a
// pixel that does thinned with the paper (a quarter of the blend at least, so
// that a line widens alike on both sides, and showing the colour well, not a
// speck of noise at an edge), the nearest colour that still just shows it:
// the line stays whole, and such pixels weigh next to nothing where its
// centre is taken.
std::uint32_t keptColour(std::uint32_t blend, const std::uint32_t (&taps)[4], const std::uint32_t (&weights)[4],
                         const ColourTarget& keep)
{
    if (closenessTo(keep, blend) > 0) return blend;
    for (int i = 0; i < 4; ++i) {
        if (weights[i] < 256 * 256 / 4 || closenessTo(keep, taps[i]) <= (keep.tolerance + 1) / 2 ||
            !thinnedWithPaper(blend, taps[i], keep.tolerance / 2))
            continue;
        std::uint32_t kept = 0xFF000000u;
        const int wanted[3] = {keep.blue, keep.green, keep.red};
        for (int k = 0; k < 3; ++k) {
            const int value = int((blend >> (8 * k)) & 0xFFu);
            kept |= std::uint32_t(std::clamp(value, wanted[k] - keep.tolerance, wanted[k] + keep.tolerance)) << (8 * k);
        }
        return kept;
    }
    return blend;
}

// The picture between its pixel centres at (x, y), given in 256ths of a
// pixel: a position within a 256th of a pixel centre is that pixel itself.
std::uint32_t bilinear(const image::PixelView& picture, int x256, int y256, const ColourTarget* keep)
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
    const std::uint32_t blend = 0xFF000000u | mix(mix(p00, p10, wx), mix(p01, p11, wx), wy);
    if (!keep) return blend;
    return keptColour(blend, {p00, p10, p01, p11}, {(256 - wx) * (256 - wy), wx * (256 - wy), (256 - wx) * wy, wx * wy},
                      *keep);
}

}  // namespace

Homography frameOfRectified(const References& refs, const FittedMapping& mapping)
{
    const PlanePoint first = mapping.frameOf(refs.x1, refs.y1), last = mapping.frameOf(refs.x2, refs.y2);
    const double sx = refs.startX, sy = refs.startY, ex = refs.endX, ey = refs.endY;
    const double du = (last.x - first.x) / (ex - sx), dv = (last.y - first.y) / (ey - sy);
    return Homography({du, 0, first.x - sx * du, 0, dv, first.y - sy * dv, 0, 0, 1});
}

RectifiedPicture::RectifiedPicture(const image::PixelView& picture, const References& refs,
                                   const FittedMapping& mapping, const std::optional<ColourTarget>& keep)
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
                row[x + k] = bilinear(picture, int((px + 128) >> 8), int((py + 128) >> 8), keep ? &*keep : nullptr);
            from = to;
        }
    }
}

image::PixelView RectifiedPicture::view() const
{
    return {pixels_.data(), width_, height_, width_};
}

}  // namespace vastrel::digitize
