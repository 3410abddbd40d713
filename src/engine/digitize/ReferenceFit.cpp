#include "engine/digitize/ReferenceFit.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/digitize/Conversion.h"
#include "engine/digitize/DigitizeMessages.h"

namespace vastrel::digitize {

namespace {

template <std::size_t N>
using Vector = std::array<double, N>;
template <std::size_t N>
using Matrix = std::array<Vector<N>, N>;

// Solves m x = b by Gaussian elimination with partial pivoting; nothing when
// m is singular. The fits solve in normalized coordinates, where the entries
// are of the order of one, so a fixed pivot threshold tells singular.
template <std::size_t N>
std::optional<Vector<N>> solve(Matrix<N> m, Vector<N> b)
{
    for (std::size_t column = 0; column < N; ++column) {
        std::size_t pivot = column;
        for (std::size_t row = column + 1; row < N; ++row)
            if (std::fabs(m[row][column]) > std::fabs(m[pivot][column])) pivot = row;
        if (!(std::fabs(m[pivot][column]) > 1e-10)) return std::nullopt;
        std::swap(m[pivot], m[column]);
        std::swap(b[pivot], b[column]);
        for (std::size_t row = column + 1; row < N; ++row) {
            const double factor = m[row][column] / m[column][column];
            for (std::size_t k = column; k < N; ++k) m[row][k] -= factor * m[column][k];
            b[row] -= factor * b[column];
        }
    }
    Vector<N> x{};
    for (std::size_t row = N; row-- > 0;) {
        double sum = b[row];
        for (std::size_t k = row + 1; k < N; ++k) sum -= m[row][k] * x[k];
        x[row] = sum / m[row][row];
    }
    return x;
}

double cross(PlanePoint a, PlanePoint b, PlanePoint c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

double distance(PlanePoint a, PlanePoint b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Whether c lies on the line through a and b: in the picture within a pixel,
// among typed values to rounding.
bool onOneLine(PlanePoint a, PlanePoint b, PlanePoint c, bool pixels)
{
    const double twiceArea = std::fabs(cross(a, b, c));
    const double longest = std::max({distance(a, b), distance(b, c), distance(a, c)});
    if (pixels) return twiceArea < longest;  // c within a pixel of the line through the others
    return twiceArea <= 1e-9 * longest * longest;
}

// Moves the points' centre to the origin and their mean distance from it to
// the square root of two, as fits of this kind need to be well conditioned.
Homography normalizingFor(const std::vector<PlanePoint>& points)
{
    PlanePoint centre;
    for (const PlanePoint& p : points) {
        centre.x += p.x / double(points.size());
        centre.y += p.y / double(points.size());
    }
    double mean = 0.0;
    for (const PlanePoint& p : points) mean += distance(p, centre) / double(points.size());
    return Homography::normalizing(centre, mean > 0.0 ? std::sqrt(2.0) / mean : 1.0);
}

Homography fromParameters(const Vector<8>& h)
{
    return Homography({h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7], 1.0});
}

// The affine mapping through three point pairs.
std::optional<Homography> affineThrough(const std::vector<PlanePoint>& from, const std::vector<PlanePoint>& to)
{
    Matrix<3> m{};
    Vector<3> bx{}, by{};
    for (std::size_t i = 0; i < 3; ++i) {
        m[i] = {from[i].x, from[i].y, 1.0};
        bx[i] = to[i].x;
        by[i] = to[i].y;
    }
    const auto a = solve(m, bx), d = solve(m, by);
    if (!a || !d) return std::nullopt;
    return Homography({(*a)[0], (*a)[1], (*a)[2], (*d)[0], (*d)[1], (*d)[2], 0, 0, 1});
}

// The rows of the linear equations a projective mapping with i = 1 meets for
// one pair: x' (g x + h y + 1) = a x + b y + c, and the same for y'.
void addEquations(PlanePoint p, PlanePoint q, Matrix<8>& normal, Vector<8>& right)
{
    const Vector<8> rows[2] = {{p.x, p.y, 1, 0, 0, 0, -q.x * p.x, -q.x * p.y},
                               {0, 0, 0, p.x, p.y, 1, -q.y * p.x, -q.y * p.y}};
    const double values[2] = {q.x, q.y};
    for (int e = 0; e < 2; ++e)
        for (std::size_t i = 0; i < 8; ++i) {
            right[i] += rows[e][i] * values[e];
            for (std::size_t j = 0; j < 8; ++j) normal[i][j] += rows[e][i] * rows[e][j];
        }
}

// The projective mapping of the pairs by least squares of the equations above:
// through them exactly for four pairs.
std::optional<Homography> algebraicFit(const std::vector<PlanePoint>& from, const std::vector<PlanePoint>& to)
{
    Matrix<8> normal{};
    Vector<8> right{};
    for (std::size_t i = 0; i < from.size(); ++i) addEquations(from[i], to[i], normal, right);
    const auto h = solve(normal, right);
    if (!h) return std::nullopt;
    return fromParameters(*h);
}

double squaredError(const Homography& mapping, const std::vector<PlanePoint>& from, const std::vector<PlanePoint>& to)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        const double d = distance(mapping.apply(from[i]), to[i]);
        sum += d * d;
    }
    return sum;
}

// From the algebraic fit on, the mapping that makes the distances in the
// picture (here, normalized) least: Levenberg-Marquardt steps on the eight
// coefficients.
Homography refinedFit(Homography mapping, const std::vector<PlanePoint>& from, const std::vector<PlanePoint>& to)
{
    double damping = 1e-3;
    double error = squaredError(mapping, from, to);
    for (int iteration = 0; iteration < 100 && error > 1e-24; ++iteration) {
        const auto& m = mapping.coefficients();
        Matrix<8> normal{};
        Vector<8> gradient{};
        for (std::size_t i = 0; i < from.size(); ++i) {
            const PlanePoint p = from[i], q = mapping.apply(p);
            const double w = mapping.denominator(p);
            const Vector<8> dx{p.x / w, p.y / w, 1 / w, 0, 0, 0, -q.x * p.x / w, -q.x * p.y / w};
            const Vector<8> dy{0, 0, 0, p.x / w, p.y / w, 1 / w, -q.y * p.x / w, -q.y * p.y / w};
            const double rx = q.x - to[i].x, ry = q.y - to[i].y;
            for (std::size_t a = 0; a < 8; ++a) {
                gradient[a] -= dx[a] * rx + dy[a] * ry;
                for (std::size_t b = 0; b < 8; ++b) normal[a][b] += dx[a] * dx[b] + dy[a] * dy[b];
            }
        }
        bool improved = false;
        while (!improved && damping < 1e12) {
            Matrix<8> damped = normal;
            for (std::size_t a = 0; a < 8; ++a) damped[a][a] *= 1.0 + damping;
            const auto step = solve(damped, gradient);
            if (!step) break;
            Vector<8> h{m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7]};
            for (std::size_t a = 0; a < 8; ++a) h[a] += (*step)[a];
            const Homography tried = fromParameters(h);
            const double triedError = squaredError(tried, from, to);
            if (triedError < error) {
                const bool settled = error - triedError < 1e-15 * error;
                mapping = tried;
                error = triedError;
                damping = std::max(damping / 10, 1e-12);
                improved = true;
                if (settled) return mapping;
            } else {
                damping *= 10;
            }
        }
        if (!improved) break;
    }
    return mapping;
}

bool sameSign(double a, double b)
{
    return (a > 0 && b > 0) || (a < 0 && b < 0);
}

FitOutcome refused(std::string_view message)
{
    FitOutcome outcome;
    outcome.refusal = std::string(message);
    return outcome;
}

}  // namespace

struct MappingFit {
    static FitOutcome fit(std::span<const ReferencePoint> points, ScaleMode mode);
    static FitOutcome ofTwoPoints(const References& refs);
};

PlanePoint FittedMapping::frameOf(double x, double y) const
{
    return {logX_ ? std::log(x) : x, logY_ ? std::log(y) : y};
}

double FittedMapping::largestResidual() const
{
    return residuals_.empty() ? 0.0 : *std::max_element(residuals_.begin(), residuals_.end());
}

FitOutcome MappingFit::fit(std::span<const ReferencePoint> points, ScaleMode mode)
{
    const bool logX = hasLogarithmicX(mode), logY = hasLogarithmicY(mode);
    std::vector<PlanePoint> frame, picture;
    for (const ReferencePoint& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.column) || !std::isfinite(p.row))
            return refused(msg::kNotFinite);
        if (logX && !(p.x > 0.0)) return refused(msg::kReferenceLogX);
        if (logY && !(p.y > 0.0)) return refused(msg::kReferenceLogY);
        frame.push_back({logX ? std::log(p.x) : p.x, logY ? std::log(p.y) : p.y});
        picture.push_back({p.column, p.row});
    }
    const std::size_t n = points.size();
    if (n < 3) return refused(msg::kReferencesCollinear);
    if (picture[0].x == picture[1].x) return refused(msg::kSameColumn);
    if (picture[0].y == picture[1].y) return refused(msg::kSameRow);
    if (frame[0].x == frame[1].x || frame[0].y == frame[1].y) return refused(msg::kFrameUndefined);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (distance(picture[i], picture[j]) < 1.0 || (frame[i].x == frame[j].x && frame[i].y == frame[j].y))
                return refused(msg::kReferencesRepeated);
    if (n <= 4)
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = i + 1; j < n; ++j)
                for (std::size_t k = j + 1; k < n; ++k)
                    if (onOneLine(picture[i], picture[j], picture[k], true) ||
                        onOneLine(frame[i], frame[j], frame[k], false))
                        return refused(msg::kReferencesCollinear);

    const Homography fromFrame = normalizingFor(frame), fromPicture = normalizingFor(picture);
    const auto unnormalize = fromPicture.inverse();
    std::vector<PlanePoint> from, to;
    for (std::size_t i = 0; i < n; ++i) {
        from.push_back(fromFrame.apply(frame[i]));
        to.push_back(fromPicture.apply(picture[i]));
    }
    std::optional<Homography> normalized = n == 3 ? affineThrough(from, to) : algebraicFit(from, to);
    if (!normalized || !unnormalize) return refused(msg::kReferencesCollinear);
    if (n > 4) normalized = refinedFit(*normalized, from, to);
    const Homography toPicture = *unnormalize * *normalized * fromFrame;
    const auto toFrame = toPicture.inverse();
    if (!toFrame) return refused(msg::kReferencesCollinear);

    // The start and end points' values and pixels give the page's
    // orientation; the mapping must keep it over the whole frame and at
    // every point, and never cross its line at infinity there.
    const double expected = (picture[1].x - picture[0].x) / (frame[1].x - frame[0].x) * (picture[1].y - picture[0].y) /
                            (frame[1].y - frame[0].y);
    std::vector<PlanePoint> checked = frame;
    for (const double u : {frame[0].x, frame[1].x})
        for (const double v : {frame[0].y, frame[1].y}) checked.push_back({u, v});
    const double side = toPicture.denominator(checked.front());
    for (const PlanePoint& p : checked)
        if (!sameSign(toPicture.denominator(p), side) || !sameSign(toPicture.jacobian(p), expected))
            return refused(msg::kReferencesFold);

    FitOutcome outcome;
    outcome.mapping = FittedMapping(toPicture, *toFrame, logX, logY);
    for (std::size_t i = 0; i < n; ++i)
        outcome.mapping->residuals_.push_back(distance(toPicture.apply(frame[i]), picture[i]));
    return outcome;
}

FitOutcome MappingFit::ofTwoPoints(const References& refs)
{
    const PrepareResult prepared = prepare(refs);
    if (!prepared.ok()) return refused(prepared.refusal);
    const bool logX = hasLogarithmicX(refs.mode), logY = hasLogarithmicY(refs.mode);
    // Negative values on a logarithmic axis convert, but have no frame in logarithms.
    if (logX && !(refs.x1 > 0.0 && refs.x2 > 0.0)) return refused(msg::kReferenceLogX);
    if (logY && !(refs.y1 > 0.0 && refs.y2 > 0.0)) return refused(msg::kReferenceLogY);
    const double u1 = logX ? std::log(refs.x1) : refs.x1, u2 = logX ? std::log(refs.x2) : refs.x2;
    const double v1 = logY ? std::log(refs.y1) : refs.y1, v2 = logY ? std::log(refs.y2) : refs.y2;
    if (u1 == u2 || v1 == v2) return refused(msg::kFrameUndefined);
    const double cu = (double(refs.endX) - refs.startX) / (u2 - u1), rv = (double(refs.endY) - refs.startY) / (v2 - v1);
    const Homography toPicture({cu, 0, refs.startX - u1 * cu, 0, rv, refs.startY - v1 * rv, 0, 0, 1});
    const auto toFrame = toPicture.inverse();
    if (!toFrame) return refused(msg::kSameRow);
    FitOutcome outcome;
    outcome.mapping = FittedMapping(toPicture, *toFrame, logX, logY);
    outcome.mapping->residuals_ = {0.0, 0.0};
    return outcome;
}

FitOutcome fitReferences(std::span<const ReferencePoint> points, ScaleMode mode)
{
    return MappingFit::fit(points, mode);
}

FitOutcome mappingOf(const References& refs, std::span<const ReferencePoint> more)
{
    if (more.empty()) return MappingFit::ofTwoPoints(refs);
    const PrepareResult prepared = prepare(refs);
    if (!prepared.ok()) return refused(prepared.refusal);
    std::vector<ReferencePoint> all{{refs.startX, refs.startY, refs.x1, refs.y1},
                                    {refs.endX, refs.endY, refs.x2, refs.y2}};
    all.insert(all.end(), more.begin(), more.end());
    return fitReferences(all, refs.mode);
}

}  // namespace vastrel::digitize
