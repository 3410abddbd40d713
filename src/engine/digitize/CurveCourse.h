#pragma once
// Where a curve is heading: its rows over the last columns taken, fitted
// with a slope and a bend, so that across a gap (a dash, a marker, another
// line crossing it) it is expected along its own direction rather than at
// its last row.

#include <cstddef>
#include <deque>

namespace vastrel::digitize {

class CurveCourse {
public:
    // A row of the curve at a column, the columns coming in order one way.
    void add(double column, double row);
    // Forgets the course: the curve has jumped (a step) and goes on from here.
    void restart(double column, double row);

    bool empty() const { return points_.empty(); }
    std::size_t pointCount() const { return points_.size(); }
    // Whether there are points enough over columns enough to tell a direction.
    bool settled() const;
    double lastColumn() const { return points_.back().column; }
    // The row expected at `column`, and the slope there in rows per column.
    double rowAt(double column) const;
    double slopeAt(double column) const;

private:
    struct Point {
        double column, row;
    };
    void accumulate(const Point& p, double sign);
    void fit();

    std::deque<Point> points_;
    // Sums over the points of v^k (k = 0 .. 4) and of row v^k (k = 0 .. 2),
    // v = column - origin_, kept as points come and go.
    struct Sums {
        double s[5] = {}, t[3] = {};
    };
    Sums sums_;
    double origin_ = 0.0;
    // row = a + b u + c u^2, u = column - lastColumn()
    double a_ = 0.0, b_ = 0.0, c_ = 0.0;
};

}  // namespace vastrel::digitize
