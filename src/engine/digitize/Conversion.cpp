#include "engine/digitize/Conversion.h"

#include <cmath>
#include <string_view>

#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/ScanWindow.h"

namespace vastrel::digitize {

namespace {

PrepareResult refused(std::string_view message)
{
    PrepareResult result;
    result.refusal = std::string(message);
    return result;
}

// Why a logarithmic axis with the typed values v1 (start) and v2 (end) has no
// conversion (empty when it has one); otherwise `ratio` receives v2 / v1.
std::string_view logAxisFault(double v1, double v2, double& ratio, std::string_view startZero, std::string_view sign)
{
    if (v1 == 0.0) return startZero;
    ratio = v2 / v1;
    if (ratio <= 0.0) return sign;
    if (!std::isfinite(ratio)) return msg::kNotFinite;
    return {};
}

}  // namespace

PrepareResult prepare(const References& refs)
{
    const bool logX = hasLogarithmicX(refs.mode);
    const bool logY = hasLogarithmicY(refs.mode);

    const double sx = refs.startX, sy = refs.startY, ex = refs.endX, ey = refs.endY;
    const double w = ex - sx;
    const double h = sy - ey;

    // On a logarithmic axis the ratio is formed first, as one division; the
    // logarithm and the division by the span follow once all checks passed.
    double ratioX = 0.0, ratioY = 0.0;
    if (logY) {
        if (const auto fault = logAxisFault(refs.y1, refs.y2, ratioY, msg::kLogYStartZero, msg::kLogYSign);
            !fault.empty())
            return refused(fault);
    }
    if (logX) {
        if (const auto fault = logAxisFault(refs.x1, refs.x2, ratioX, msg::kLogXStartZero, msg::kLogXSign);
            !fault.empty())
            return refused(fault);
    }
    if (logY && h == 0.0) return refused(msg::kSameRow);
    if (logX && w == 0.0) return refused(msg::kSameColumn);
    if (!logY && h == 0.0 && scanWindowOf(refs).columnCount() > 0) return refused(msg::kSameRow);

    const double kx = logX ? std::log(ratioX) / w : refs.x2 - refs.x1;
    const double ky = logY ? std::log(ratioY) / h : refs.y2 - refs.y1;
    if (!std::isfinite(kx) || !std::isfinite(ky)) return refused(msg::kNotFinite);

    Conversion c;
    c.refs_ = refs;
    c.sx_ = sx;
    c.sy_ = sy;
    c.w_ = w;
    c.h_ = h;
    c.kx_ = kx;
    c.ky_ = ky;
    c.logX_ = logX;
    c.logY_ = logY;
    PrepareResult result;
    result.conversion = c;
    return result;
}

double Conversion::columnToX(double x) const
{
    if (logX_) return refs_.x1 * std::exp((x - sx_) * kx_);
    return refs_.x1 + (((x - sx_) * kx_) / w_);
}

double Conversion::rowToY(double r) const
{
    if (logY_) return refs_.y1 * std::exp((sy_ - r) * ky_);
    return refs_.y1 + (((sy_ - r) * ky_) / h_);
}

}  // namespace vastrel::digitize
