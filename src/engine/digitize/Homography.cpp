#include "engine/digitize/Homography.h"

#include <cmath>

namespace vastrel::digitize {

Homography Homography::normalizing(PlanePoint centre, double scale)
{
    return Homography({scale, 0, -scale * centre.x, 0, scale, -scale * centre.y, 0, 0, 1});
}

PlanePoint Homography::apply(PlanePoint p) const
{
    const double w = denominator(p);
    return {(m_[0] * p.x + m_[1] * p.y + m_[2]) / w, (m_[3] * p.x + m_[4] * p.y + m_[5]) / w};
}

double Homography::jacobian(PlanePoint p) const
{
    // d(x', y') / d(x, y) of (X / w, Y / w): (X_x w - X w_x) / w^2 and so on;
    // its determinant is det(M) / w^3.
    const auto& m = m_;
    const double det =
        m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
    const double w = denominator(p);
    return det / (w * w * w);
}

std::optional<Homography> Homography::inverse() const
{
    const auto& m = m_;
    const std::array<double, 9> adjugate{
        m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
        m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
        m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3],
    };
    const double det = m[0] * adjugate[0] + m[1] * adjugate[3] + m[2] * adjugate[6];
    if (!std::isfinite(det) || det == 0.0) return std::nullopt;
    std::array<double, 9> inverse{};
    for (int i = 0; i < 9; ++i) inverse[i] = adjugate[i] / det;
    return Homography(inverse);
}

Homography Homography::operator*(const Homography& then) const
{
    std::array<double, 9> product{};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            for (int k = 0; k < 3; ++k) product[row * 3 + column] += m_[row * 3 + k] * then.m_[k * 3 + column];
    return Homography(product);
}

}  // namespace vastrel::digitize
