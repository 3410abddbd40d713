#include "engine/digitize/CurveCourse.h"

#include <algorithm>
#include <cmath>

namespace vastrel::digitize {

namespace {

// Columns the course is judged over: enough to tell a slope through a JPEG's
// unevenness, few enough to follow a bend.
constexpr double kSpan = 24.0;
// A bend is trusted only over a stretch this long, and never let to carry
// the course further than this many rows off its straight line per column of
// extrapolation: a curve's bend changes, its direction less.
constexpr double kBendSpan = 12.0;
constexpr double kMostBendPerColumn = 0.5;
// How far the last column may move from the origin of the sums before they
// are taken afresh about it.
constexpr double kRebase = 64.0;

}  // namespace

void CurveCourse::add(double column, double row)
{
    if (points_.empty() || std::fabs(column - origin_) > kRebase) {
        // Sums of powers of columns near the points keep their precision.
        origin_ = column;
        sums_ = Sums{};
        for (const Point& p : points_) accumulate(p, +1.0);
    }
    points_.push_back({column, row});
    accumulate(points_.back(), +1.0);
    while (std::fabs(points_.back().column - points_.front().column) > kSpan) {
        accumulate(points_.front(), -1.0);
        points_.pop_front();
    }
    fit();
}

void CurveCourse::restart(double column, double row)
{
    points_.clear();
    add(column, row);
}

void CurveCourse::accumulate(const Point& p, double sign)
{
    const double v = p.column - origin_;
    double power = sign;
    for (int k = 0; k < 5; ++k, power *= v) {
        sums_.s[k] += power;
        if (k < 3) sums_.t[k] += power * p.row;
    }
}

void CurveCourse::fit()
{
    // Least squares of row = A + B v + C v^2 over the points, v = column -
    // origin, turned into the form about the last column.
    const double* s = sums_.s;
    const double* t = sums_.t;
    const double last = points_.back().column, l = last - origin_;
    const double span = std::fabs(last - points_.front().column);
    a_ = points_.back().row;
    b_ = 0.0;
    c_ = 0.0;
    if (points_.size() < 2 || span < 2.0) return;
    if (points_.size() >= 8 && span >= kBendSpan) {
        const double m[3][3] = {{s[0], s[1], s[2]}, {s[1], s[2], s[3]}, {s[2], s[3], s[4]}};
        const auto det3 = [](const double(&x)[3][3]) {
            return x[0][0] * (x[1][1] * x[2][2] - x[1][2] * x[2][1]) -
                   x[0][1] * (x[1][0] * x[2][2] - x[1][2] * x[2][0]) +
                   x[0][2] * (x[1][0] * x[2][1] - x[1][1] * x[2][0]);
        };
        const double det = det3(m);
        if (std::fabs(det) > 1e-9) {
            double coefficients[3];
            for (int k = 0; k < 3; ++k) {
                double replaced[3][3];
                for (int i = 0; i < 3; ++i)
                    for (int j = 0; j < 3; ++j) replaced[i][j] = j == k ? t[i] : m[i][j];
                coefficients[k] = det3(replaced) / det;
            }
            const double A = coefficients[0], B = coefficients[1], C = coefficients[2];
            a_ = A + B * l + C * l * l;
            b_ = B + 2.0 * C * l;
            c_ = C;
            return;
        }
    }
    const double det = s[0] * s[2] - s[1] * s[1];
    if (std::fabs(det) < 1e-9) return;
    const double A = (t[0] * s[2] - t[1] * s[1]) / det, B = (s[0] * t[1] - s[1] * t[0]) / det;
    a_ = A + B * l;
    b_ = B;
}

bool CurveCourse::settled() const
{
    return points_.size() >= 4 && std::fabs(points_.back().column - points_.front().column) >= 4.0;
}

double CurveCourse::rowAt(double column) const
{
    const double u = column - lastColumn();
    const double bend = std::clamp(c_ * u * u, -kMostBendPerColumn * std::fabs(u), kMostBendPerColumn * std::fabs(u));
    return a_ + b_ * u + bend;
}

double CurveCourse::slopeAt(double column) const
{
    const double u = column - lastColumn();
    const double slope = b_ + 2.0 * c_ * u;
    return std::clamp(slope, b_ - kMostBendPerColumn, b_ + kMostBendPerColumn);
}

}  // namespace vastrel::digitize
