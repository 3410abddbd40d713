#include "engine/digitize/PixelCalibration.h"

#include <cmath>
#include <limits>

#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/RectifiedPicture.h"

namespace vastrel::digitize {

GraphValues PixelCalibration::valuesAt(PlanePoint picturePixel) const
{
    const PlanePoint p = scannedOf(picturePixel);
    return {conversion_.columnToX(p.x), conversion_.rowToY(p.y)};
}

PlanePoint PixelCalibration::pixelOf(GraphValues values) const
{
    const References& r = conversion_.references();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // The conversion's formulas solved for the column and the row.
    double column = nan, row = nan;
    if (hasLogarithmicX(r.mode)) {
        if (values.x / r.x1 > 0) column = r.startX + std::log(values.x / r.x1) / conversion_.kx();
    } else {
        column = r.startX + (values.x - r.x1) * conversion_.width() / conversion_.kx();
    }
    if (hasLogarithmicY(r.mode)) {
        if (values.y / r.y1 > 0) row = r.startY - std::log(values.y / r.y1) / conversion_.ky();
    } else {
        row = r.startY - (values.y - r.y1) * conversion_.height() / conversion_.ky();
    }
    return pictureOf({column, row});
}

PlanePoint PixelCalibration::scannedOf(PlanePoint picturePixel) const
{
    return fromPicture_ ? fromPicture_->apply(picturePixel) : picturePixel;
}

PlanePoint PixelCalibration::pictureOf(PlanePoint scannedPixel) const
{
    return toPicture_ ? toPicture_->apply(scannedPixel) : scannedPixel;
}

bool PixelCalibration::insideFrame(PlanePoint picturePixel) const
{
    const References& r = conversion_.references();
    const PlanePoint p = scannedOf(picturePixel);
    return p.x >= r.startX && p.x <= r.endX && p.y >= r.endY && p.y <= r.startY;
}

CalibrationOutcome calibrationOf(const References& refs, std::span<const ReferencePoint> more)
{
    CalibrationOutcome outcome;
    const PrepareResult prepared = prepare(refs);
    if (!prepared.ok()) {
        outcome.refusal = prepared.refusal;
        return outcome;
    }
    PixelCalibration calibration(*prepared.conversion);
    if (!more.empty()) {
        const FitOutcome fit = mappingOf(refs, more);
        if (!fit.ok()) {
            outcome.refusal = fit.refusal;
            return outcome;
        }
        const Homography toPicture = fit.mapping->toPicture() * frameOfRectified(refs, *fit.mapping);
        const std::optional<Homography> fromPicture = toPicture.inverse();
        if (!fromPicture) {
            outcome.refusal = std::string(msg::kReferencesCollinear);
            return outcome;
        }
        calibration.toPicture_ = toPicture;
        calibration.fromPicture_ = *fromPicture;
    }
    outcome.calibration = calibration;
    return outcome;
}

}  // namespace vastrel::digitize
