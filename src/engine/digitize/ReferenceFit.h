#pragma once
// The mapping between the graph's own frame and the picture, fitted to three
// or more reference points: a page scanned crooked or photographed at an
// angle has axes that run along neither the picture's rows nor its columns.
//
//   3 points   the affine mapping through them, exactly (tilt, skew, stretch);
//   4 points   the projective mapping through them, exactly (also keystone);
//   5 or more  the projective mapping nearest to them all in the picture, by
//              least squares of the pixel distances; each point's distance
//              from where the mapping puts it is its residual.
//
// The frame is the graph's values, or their natural logarithm on a
// logarithmic axis, so that the mapping is straight in both.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/digitize/Homography.h"
#include "engine/digitize/References.h"

namespace vastrel::digitize {

struct ReferencePoint {
    double column = 0.0;  // where it lies in the picture, in pixels
    double row = 0.0;
    double x = 0.0;  // the graph values typed for it
    double y = 0.0;

    bool operator==(const ReferencePoint&) const = default;
};

class FittedMapping {
public:
    // Where the frame position (u, v) lies in the picture.
    PlanePoint pixelOfFrame(PlanePoint frame) const { return toPicture_.apply(frame); }
    // The frame position of a pixel of the picture.
    PlanePoint frameOfPixel(PlanePoint pixel) const { return toFrame_.apply(pixel); }
    // The frame position of graph values: (x, y), or their logarithms.
    PlanePoint frameOf(double x, double y) const;

    // The distance in pixels of each reference point, in the order given,
    // from where the mapping puts its values.
    const std::vector<double>& residuals() const { return residuals_; }
    double largestResidual() const;

    const Homography& toPicture() const { return toPicture_; }

private:
    friend struct MappingFit;
    FittedMapping(const Homography& toPicture, const Homography& toFrame, bool logX, bool logY)
        : toPicture_(toPicture), toFrame_(toFrame), logX_(logX), logY_(logY)
    {}

    Homography toPicture_;
    Homography toFrame_;
    bool logX_ = false, logY_ = false;
    std::vector<double> residuals_;
};

struct FitOutcome {
    std::optional<FittedMapping> mapping;
    std::string refusal;  // for the user (DigitizeMessages.h); empty exactly when mapping holds one

    bool ok() const { return refusal.empty(); }
};

// Fits the mapping to `points`, of which there are three or more; the first
// two are the start point (lower left) and the end point (upper right), whose
// values span the frame. Refused, with the message of the first that applies:
//  - a value that is not finite                                     kNotFinite
//  - a value of 0 or below on a logarithmic axis                    kReferenceLogX / kReferenceLogY
//  - start and end on one picture column or row                     kSameColumn / kSameRow
//  - start and end with one X or one Y, leaving an axis undefined   kFrameUndefined
//  - two points at one place in the picture or with the same values kReferencesRepeated
//  - three of them on one line (with 3 or 4 points), or points that
//    leave the mapping undetermined                                 kReferencesCollinear
//  - a mapping that turns the page inside out, or folds it within
//    the frame or at a point                                        kReferencesFold
FitOutcome fitReferences(std::span<const ReferencePoint> points, ScaleMode mode);

// The mapping a run reads the picture by: with `more` points, fitted to the
// start and end points and those; without, the start and end points' own,
// whose axes run along the picture's rows and columns. Refused as the
// conversion (Conversion.h) and fitReferences refuse.
FitOutcome mappingOf(const References& refs, std::span<const ReferencePoint> more);

}  // namespace vastrel::digitize
