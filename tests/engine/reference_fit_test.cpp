// The mapping fitted to three or more reference points, on worked examples:
// a tilted, skewed and keystoned page whose mapping is known, and every
// reason to refuse the points.

#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/ReferenceFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vastrel::digitize {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A graph of X 0 .. 10 and Y 0 .. 100, its frame 600 x 400 pixels from
// (100, 500), tilted by 2 degrees and skewed a little: an affine page.
PlanePoint tiltedPage(PlanePoint graph)
{
    const double c = std::cos(2 * kPi / 180), s = std::sin(2 * kPi / 180);
    const double x = graph.x * 60 + graph.y * 0.05, y = -graph.y * 4;
    return {100 + c * x - s * y, 500 + s * x + c * y};
}

// The same page photographed at an angle: a keystone of about 8 %.
PlanePoint keystonedPage(PlanePoint graph)
{
    const PlanePoint flat = tiltedPage(graph);
    const double w = 1 + 0.00014 * (flat.x - 100) + 0.00005 * (500 - flat.y);
    return {100 + (flat.x - 100) / w, 500 + (flat.y - 500) / w};
}

ReferencePoint at(PlanePoint (*page)(PlanePoint), double x, double y)
{
    const PlanePoint pixel = page({x, y});
    return {pixel.x, pixel.y, x, y};
}

void expectMapsLike(const FittedMapping& mapping, PlanePoint (*page)(PlanePoint), double tolerance)
{
    for (const double x : {0.0, 2.5, 5.0, 10.0, 12.0})
        for (const double y : {-10.0, 0.0, 37.0, 100.0}) {
            const PlanePoint fitted = mapping.pixelOfFrame(mapping.frameOf(x, y)), truth = page({x, y});
            EXPECT_NEAR(fitted.x, truth.x, tolerance) << x << ", " << y;
            EXPECT_NEAR(fitted.y, truth.y, tolerance) << x << ", " << y;
            const PlanePoint back = mapping.frameOfPixel(truth);
            EXPECT_NEAR(back.x, x, 1e-9);
            EXPECT_NEAR(back.y, y, 1e-9);
        }
}

TEST(ReferenceFit, ThreePointsGiveTheAffineMappingThroughThem)
{
    const std::vector<ReferencePoint> points{at(tiltedPage, 0, 0), at(tiltedPage, 10, 100), at(tiltedPage, 0, 100)};
    const FitOutcome fit = fitReferences(points, ScaleMode::LinearLinear);
    ASSERT_TRUE(fit.ok()) << fit.refusal;
    expectMapsLike(*fit.mapping, tiltedPage, 1e-9);
    EXPECT_LT(fit.mapping->largestResidual(), 1e-9);
}

TEST(ReferenceFit, FourPointsGiveTheProjectiveMappingThroughThem)
{
    const std::vector<ReferencePoint> points{at(keystonedPage, 0, 0), at(keystonedPage, 10, 100),
                                             at(keystonedPage, 0, 100), at(keystonedPage, 10, 0)};
    const FitOutcome fit = fitReferences(points, ScaleMode::LinearLinear);
    ASSERT_TRUE(fit.ok()) << fit.refusal;
    expectMapsLike(*fit.mapping, keystonedPage, 1e-7);
    // Three of them give the affine mapping, which misses the keystone.
    const FitOutcome three = fitReferences(std::span(points).first(3), ScaleMode::LinearLinear);
    EXPECT_GT(std::fabs(three.mapping->pixelOfFrame({10, 0}).x - keystonedPage({10, 0}).x), 3.0);
}

TEST(ReferenceFit, OnLogarithmicAxesTheFitIsInTheLogarithms)
{
    // X 1 .. 1000 and Y 0.1 .. 100 on the keystoned page, a decade a third of the frame.
    const auto page = [](double x, double y) {
        return keystonedPage({10 * std::log10(x) / 3, 100 * (std::log10(y) + 1) / 3});
    };
    std::vector<ReferencePoint> points;
    for (const auto& [x, y] : {std::pair{1.0, 0.1}, {1000.0, 100.0}, {1.0, 100.0}, {1000.0, 0.1}, {31.6, 3.16}})
        points.push_back({page(x, y).x, page(x, y).y, x, y});
    const FitOutcome fit = fitReferences(points, ScaleMode::LogLog);
    ASSERT_TRUE(fit.ok()) << fit.refusal;
    const PlanePoint fitted = fit.mapping->pixelOfFrame(fit.mapping->frameOf(10, 1)), truth = page(10, 1);
    EXPECT_NEAR(fitted.x, truth.x, 1e-6);
    EXPECT_NEAR(fitted.y, truth.y, 1e-6);
    EXPECT_LT(fit.mapping->largestResidual(), 1e-6);
}

TEST(ReferenceFit, FiveOrMorePointsAreFittedByLeastSquaresOfTheirPixelDistances)
{
    // Eight points of the keystoned page, each clicked up to a pixel off.
    const double offsets[][2] = {{0.6, -0.3}, {-0.8, 0.2}, {0.1, 0.9}, {-0.4, -0.7},
                                 {0.5, 0.5},  {-0.2, 0.8}, {0.9, 0.0}, {-0.6, -0.1}};
    const double values[][2] = {{0, 0}, {10, 100}, {0, 100}, {10, 0}, {5, 50}, {2, 80}, {8, 30}, {3, 10}};
    std::vector<ReferencePoint> points;
    for (int i = 0; i < 8; ++i) {
        ReferencePoint p = at(keystonedPage, values[i][0], values[i][1]);
        p.column += offsets[i][0];
        p.row += offsets[i][1];
        points.push_back(p);
    }
    const FitOutcome fit = fitReferences(points, ScaleMode::LinearLinear);
    ASSERT_TRUE(fit.ok()) << fit.refusal;
    const auto squaredSum = [&](const Homography& mapping) {
        double sum = 0;
        for (const ReferencePoint& p : points) {
            const PlanePoint q = mapping.apply({p.x, p.y});
            sum += (q.x - p.column) * (q.x - p.column) + (q.y - p.row) * (q.y - p.row);
        }
        return sum;
    };
    double fromResiduals = 0;
    for (const double r : fit.mapping->residuals()) fromResiduals += r * r;
    const double least = squaredSum(fit.mapping->toPicture());
    EXPECT_NEAR(fromResiduals, least, 1e-9);
    EXPECT_GT(fit.mapping->largestResidual(), 0.2);  // the offsets show
    EXPECT_LT(fit.mapping->largestResidual(), 1.5);
    // No change of any one coefficient makes the distances smaller.
    for (int k = 0; k < 8; ++k)
        for (const double step : {1e-7, -1e-7}) {
            auto m = fit.mapping->toPicture().coefficients();
            const double scale = m[8];
            for (double& c : m) c /= scale;
            m[k] += step * (std::fabs(m[k]) + 1e-6);
            EXPECT_GE(squaredSum(Homography(m)), least * (1 - 1e-9)) << "coefficient " << k;
        }
    // The truth is near: every frame corner within a pixel.
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {0.0, 100.0}, {10.0, 100.0}}) {
        const PlanePoint fitted = fit.mapping->pixelOfFrame({x, y}), truth = keystonedPage({x, y});
        EXPECT_LT(std::hypot(fitted.x - truth.x, fitted.y - truth.y), 1.0);
    }
}

TEST(ReferenceFit, PointsThatDefineNoSoundMappingAreRefused)
{
    const ReferencePoint start = at(tiltedPage, 0, 0), end = at(tiltedPage, 10, 100);
    const ReferencePoint corner = at(tiltedPage, 0, 100);
    struct Case {
        const char* what;
        std::vector<ReferencePoint> points;
        ScaleMode mode;
        std::string_view refusal;
    };
    ReferencePoint swapped = corner;  // the values typed for the opposite corner
    swapped.x = 10;
    swapped.y = 0;
    ReferencePoint negative = corner;
    negative.x = -1;
    ReferencePoint sameValues = corner;
    sameValues.x = 10;
    sameValues.y = 100;
    ReferencePoint infinite = corner;
    infinite.y = INFINITY;
    ReferencePoint endOneX = end;
    endOneX.x = 0;
    const std::vector<Case> cases{
        {"on the diagonal", {start, end, at(tiltedPage, 5, 50)}, ScaleMode::LinearLinear, msg::kReferencesCollinear},
        {"three of four on the left edge",
         {start, end, corner, at(tiltedPage, 0, 50)},
         ScaleMode::LinearLinear,
         msg::kReferencesCollinear},
        {"mirrored", {start, end, swapped}, ScaleMode::LinearLinear, msg::kReferencesFold},
        {"twice the end point's values", {start, end, sameValues}, ScaleMode::LinearLinear, msg::kReferencesRepeated},
        {"twice one place", {start, end, corner, corner}, ScaleMode::LinearLinear, msg::kReferencesRepeated},
        {"one X for start and end", {start, endOneX, corner}, ScaleMode::LinearLinear, msg::kFrameUndefined},
        {"negative on a log axis", {start, end, negative}, ScaleMode::LogLinear, msg::kReferenceLogX},
        {"0 on a log axis", {start, end, corner}, ScaleMode::LinearLog, msg::kReferenceLogY},
        {"infinite", {start, end, infinite}, ScaleMode::LinearLinear, msg::kNotFinite},
    };
    for (const Case& c : cases) {
        const FitOutcome fit = fitReferences(c.points, c.mode);
        EXPECT_FALSE(fit.mapping.has_value()) << c.what;
        EXPECT_EQ(fit.refusal, c.refusal) << c.what;
    }
    // The lower-right corner clicked inside the triangle of the other three:
    // no projective mapping takes the frame there without folding it.
    const std::vector<ReferencePoint> folded{
        {100, 500, 0, 0}, {700, 100, 10, 100}, {100, 100, 0, 100}, {250, 250, 10, 0}};
    EXPECT_EQ(fitReferences(folded, ScaleMode::LinearLinear).refusal, msg::kReferencesFold);
}

}  // namespace
}  // namespace vastrel::digitize
