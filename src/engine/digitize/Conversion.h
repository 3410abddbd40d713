#pragma once
// The conversion of image positions to graph values, fixed by the two
// reference points, the values typed for them and the scale mode.
//
//   W = EX - SX, H = SY - EY
//   kx = X2 - X1 (X linear)          kx = ln(X2 / X1) / W (X logarithmic)
//   ky = Y2 - Y1 (Y linear)          ky = ln(Y2 / Y1) / H (Y logarithmic)
//   X = X1 + (((x - SX) * kx) / W)   X = X1 * exp((x - SX) * kx)
//   Y = Y1 + (((SY - r) * ky) / H)   Y = Y1 * exp((SY - r) * ky)
//
// All arithmetic is double precision and carried out in exactly this order
// (on a logarithmic axis: the ratio, then its natural logarithm, then the
// division by the span), so that every result is rounded exactly as these
// formulas round, not as an algebraically equal form would. The X axis is
// logarithmic in "Log - Log" and "Log - Linear", the Y axis in "Linear - Log"
// and "Log - Log".

#include <optional>
#include <string>

#include "engine/digitize/References.h"

namespace vastrel::digitize {

struct PrepareResult;

// Computes W, H, kx and ky, once per run. Refuses, instead of producing
// infinities or NaN later, with the message (DigitizeMessages.h) of the first
// of these checks that applies:
//  1. Y logarithmic and Y1 = 0                        kLogYStartZero
//     Y logarithmic and Y2 / Y1 <= 0                  kLogYSign
//     Y logarithmic and Y2 / Y1 not finite            kNotFinite
//  2. the same for X when X is logarithmic            kLogXStartZero, kLogXSign, kNotFinite
//  3. Y logarithmic and H = 0                         kSameRow
//  4. X logarithmic and W = 0                         kSameColumn
//  5. Y linear, H = 0 and the scan window has at
//     least one column (endX - 2 >= startX + 2)       kSameRow
//  6. kx or ky not finite (typed values too large)    kNotFinite
// Linear axes with H = 0 are accepted when no column is scanned, because no Y
// is ever converted then; likewise a linear X axis with W = 0.
PrepareResult prepare(const References& refs);

class Conversion {
public:
    // Graph X of image column x.
    double columnToX(double x) const;
    // Graph Y of image row r.
    double rowToY(double r) const;

    ScaleMode mode() const { return refs_.mode; }
    const References& references() const { return refs_; }
    double width() const { return w_; }   // W = EX - SX
    double height() const { return h_; }  // H = SY - EY
    double kx() const { return kx_; }
    double ky() const { return ky_; }

private:
    friend PrepareResult prepare(const References& refs);
    Conversion() = default;

    References refs_;
    double sx_ = 0.0, sy_ = 0.0;
    double w_ = 0.0, h_ = 0.0;
    double kx_ = 0.0, ky_ = 0.0;
    bool logX_ = false, logY_ = false;
};

// Either a ready conversion or the message for the user why the references
// define none.
struct PrepareResult {
    std::optional<Conversion> conversion;
    std::string refusal;  // empty exactly when conversion holds a value

    bool ok() const { return conversion.has_value(); }
};

}  // namespace vastrel::digitize
