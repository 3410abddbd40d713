#pragma once
// The two corners of a drawn frame that the start and end points leave: when
// those two sit on the frame's lower-left and upper-right corners, its
// upper-left corner has the values (X1, Y2) and its lower-right one (X2, Y1),
// so the four corners fix a tilted or keystoned page. Each side is followed
// from the corner it starts at, its line fitted at sub-pixel precision across
// whatever interrupts it (a legend, a label, a curve crossing it, tick marks),
// and the sides are intersected.

#include <string>
#include <variant>
#include <vector>

#include "engine/digitize/Homography.h"
#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/References.h"
#include "engine/image/PixelView.h"

namespace vastrel::digitize {

struct FrameCorners {
    PlanePoint upperLeft;
    PlanePoint lowerRight;
};

// The frame's other corners, or the message (DigitizeMessages.h) that no
// frame lines run from the two points given: kNoFrame.
std::variant<FrameCorners, std::string> findFrameCorners(const image::PixelView& picture, PlanePoint lowerLeft,
                                                         PlanePoint upperRight);

// The found corners as reference points 3 and 4: the upper-left one with the
// values (X1, Y2), the lower-right one with (X2, Y1).
std::vector<ReferencePoint> frameCornerReferences(const FrameCorners& corners, const References& refs);

}  // namespace vastrel::digitize
