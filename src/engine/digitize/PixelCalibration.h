#pragma once
// The graph values of any pixel of the picture, and the pixel of any graph
// values, by the reference points a run reads the picture with: what a
// marker's centre, a point dragged by hand and a point drawn over the
// picture need, where the column scans only ever convert their own window.

#include <optional>
#include <span>
#include <string>

#include "engine/digitize/Conversion.h"
#include "engine/digitize/Homography.h"
#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/References.h"

namespace vastrel::digitize {

struct GraphValues {
    double x = 0.0;
    double y = 0.0;
};

struct CalibrationOutcome;

// Refused as a run refuses its references (Conversion.h, ReferenceFit.h).
CalibrationOutcome calibrationOf(const References& refs, std::span<const ReferencePoint> more = {});

class PixelCalibration {
public:
    // Converted with the very arithmetic of a run, so that a pixel a scan
    // took and the same pixel placed by hand give the same values.
    GraphValues valuesAt(PlanePoint picturePixel) const;
    // Where values lie in the picture; not finite for values a logarithmic
    // axis cannot show.
    PlanePoint pixelOf(GraphValues values) const;

    // A position in the picture the scans read: the picture itself, or its
    // resampled frame when the page is read along its own axes.
    PlanePoint scannedOf(PlanePoint picturePixel) const;
    PlanePoint pictureOf(PlanePoint scannedPixel) const;

    // Whether the picture pixel lies within the frame of the start and end
    // points, edges included.
    bool insideFrame(PlanePoint picturePixel) const;

    const References& references() const { return conversion_.references(); }

private:
    friend CalibrationOutcome calibrationOf(const References&, std::span<const ReferencePoint>);
    explicit PixelCalibration(const Conversion& conversion) : conversion_(conversion) {}

    Conversion conversion_;
    // With reference points besides the start and end points.
    std::optional<Homography> toPicture_, fromPicture_;
};

struct CalibrationOutcome {
    std::optional<PixelCalibration> calibration;
    std::string refusal;  // for the user (DigitizeMessages.h); empty exactly when calibration holds one

    bool ok() const { return refusal.empty(); }
};

}  // namespace vastrel::digitize
