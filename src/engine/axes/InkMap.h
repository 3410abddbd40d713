#pragma once
// How much dark ink each pixel holds: 255 for black, 0 for white or for any
// bright colour. Frames, ticks and their labels are printed dark; coloured
// curves and pale grids are not, so they stay out of the axes' way.

#include <cstdint>
#include <vector>

#include "engine/image/PixelView.h"

namespace vastrel::axes {

class InkMap {
public:
    explicit InkMap(const image::PixelView& picture);

    int width() const { return width_; }
    int height() const { return height_; }
    // 0 outside the picture.
    int at(int column, int row) const
    {
        return column >= 0 && row >= 0 && column < width_ && row < height_
                   ? ink_[std::size_t(row) * std::size_t(width_) + std::size_t(column)]
                   : 0;
    }
    bool dark(int column, int row) const { return at(column, row) >= kDark; }
    // Ink at a point between pixel centres, weighed from the four around it.
    double sample(double column, double row) const;

    // Ink from this much on counts as a drawn line or character.
    static constexpr int kDark = 110;

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> ink_;
};

}  // namespace vastrel::axes
