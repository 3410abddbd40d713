#pragma once
// A tilted or keystoned page resampled into the frame of its start and end
// points: every pixel of the rectangle between them shows the picture where
// the fitted mapping puts the graph values that pixel stands for, as if the
// page had lain square under the scanner. The scans then read it exactly as
// they read an untilted page, and the conversion of the start and end points
// turns its columns and rows into the fitted mapping's values.

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/digitize/ColourRuns.h"
#include "engine/digitize/Homography.h"
#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/References.h"
#include "engine/image/PixelView.h"

namespace vastrel::digitize {

// The start and end points' frame: rectified pixel (x, y) to the frame
// position (u, v) the conversion of the two points gives it, u from u1 at
// startX to u2 at endX, v from v1 at startY to v2 at endY.
Homography frameOfRectified(const References& refs, const FittedMapping& mapping);

class RectifiedPicture {
public:
    // Resamples `picture` (bilinear, at its own resolution) over the
    // rectangle between the start and end points of `refs` and two pixels
    // around it; the rest of the area shows the image area's grey.
    //
    // With a curve's colour, a pixel whose blend no longer shows that colour
    // while one of the four pixels it is blended from does shows that one:
    // a thin line blended half and half with the paper would fade out of
    // the colour's tolerance, and the curve break up into pieces.
    RectifiedPicture(const image::PixelView& picture, const References& refs, const FittedMapping& mapping,
                     const std::optional<ColourTarget>& keep = std::nullopt);

    image::PixelView view() const;

    // Where a pixel of the picture lies in the rectified one.
    PlanePoint rectifiedOf(PlanePoint picturePixel) const { return fromPicture_.apply(picturePixel); }

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
    Homography fromPicture_;
};

}  // namespace vastrel::digitize
