#pragma once
// A small in-memory picture for the digitize tests: 0xAARRGGBB pixels, white
// unless painted, with optional padding at the end of every row that the scan
// must never read (it is painted black, so a read would show).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/image/PixelView.h"

namespace vastrel::digitize::testing {

using image::PixelView;

inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
inline constexpr std::uint32_t kBlack = 0xFF000000u;
inline constexpr std::uint32_t kRed = 0xFFFF0000u;
inline constexpr std::uint32_t kGreen = 0xFF00FF00u;
inline constexpr std::uint32_t kBlue = 0xFF0000FFu;
inline constexpr std::uint32_t kYellow = 0xFFFFFF00u;
inline constexpr std::uint32_t kCyan = 0xFF00FFFFu;
inline constexpr std::uint32_t kMagenta = 0xFFFF00FFu;

// An opaque grey with all three components equal to `level`.
constexpr std::uint32_t grey(std::uint32_t level)
{
    return 0xFF000000u | level << 16 | level << 8 | level;
}

class TestImage {
public:
    TestImage(int width, int height, int padding = 0, std::uint32_t fill = kWhite)
        : width_(width), height_(height), stride_(width + padding),
          pixels_(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height), kBlack)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) set(x, y, fill);
    }

    void set(int x, int y, std::uint32_t argb) { pixels_[index(x, y)] = argb; }
    std::uint32_t at(int x, int y) const { return pixels_[index(x, y)]; }

    void row(int y, std::uint32_t argb)
    {
        for (int x = 0; x < width_; ++x) set(x, y, argb);
    }
    void column(int x, std::uint32_t argb)
    {
        for (int y = 0; y < height_; ++y) set(x, y, argb);
    }

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    std::uint32_t* data() { return pixels_.data(); }

    PixelView view() const { return PixelView{pixels_.data(), width_, height_, stride_}; }

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(stride_) + static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    int stride_;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace vastrel::digitize::testing
