#pragma once
// A projective mapping of the plane, (x, y) to ((a x + b y + c) / w,
// (d x + e y + f) / w) with w = g x + h y + i: the mapping between a page and
// its picture taken at an angle. An affine mapping is one with g = h = 0.

#include <array>
#include <optional>

namespace vastrel::digitize {

struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
};

class Homography {
public:
    // The mapping of the nine coefficients, row by row.
    explicit Homography(const std::array<double, 9>& m = {1, 0, 0, 0, 1, 0, 0, 0, 1}) : m_(m) {}

    // A scaling by `scale` about `centre` followed by a move of `centre` to the origin.
    static Homography normalizing(PlanePoint centre, double scale);

    PlanePoint apply(PlanePoint p) const;
    // The denominator w at p: a mapping whose w changes sign inside an area
    // folds that area over the line at infinity.
    double denominator(PlanePoint p) const { return m_[6] * p.x + m_[7] * p.y + m_[8]; }
    // The determinant of the mapping's derivative at p: its sign says whether
    // the mapping keeps the orientation there or mirrors it.
    double jacobian(PlanePoint p) const;

    std::optional<Homography> inverse() const;
    Homography operator*(const Homography& then) const;  // this after `then`

    const std::array<double, 9>& coefficients() const { return m_; }

private:
    std::array<double, 9> m_;
};

}  // namespace vastrel::digitize
