// The curve found by a chosen colour: the weighted centre to a fraction of a
// row, the run that continues the curve against legends, crossings and hidden
// stretches, the rows near the axes, and the refusal when nothing matches.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "TestImage.h"
#include "TestReferences.h"
#include "engine/digitize/ColourRuns.h"
#include "engine/digitize/ColourScan.h"
#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/DigitizeRun.h"
#include "engine/digitize/ScanWindow.h"

namespace vastrel::digitize {
namespace {

using namespace vastrel::digitize::testing;

constexpr std::uint32_t kPaleRed = 0xFFFF8080u;

CurveColour colourAt(const TestImage& image, int x, int y)
{
    const std::uint32_t argb = image.at(x, y);
    return CurveColour{static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                       static_cast<std::uint8_t>(argb), x, y};
}

// Columns 2 .. 98 and rows 6 .. 94 of a 110 x 110 picture.
const References kRefs = refsOf(ScaleMode::LinearLinear, 0, 95, 100, 5, 0, 0, 100, 90);

void band(TestImage& image, int x0, int x1, int y0, int y1, std::uint32_t argb)
{
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) image.set(x, y, argb);
}

// The row found in every window column from the first: NaN in the columns
// before the curve starts.
std::vector<float> rowsOf(const TestImage& image, const CurveColour& colour, const References& refs = kRefs)
{
    const DigitizeOutcome outcome = digitize(image.view(), refs, colour);
    EXPECT_TRUE(outcome.ok()) << outcome.refusal;
    std::vector<float> rows(outcome.firstColumn, NAN);
    for (const DigitizedPoint& p : outcome.points) rows.push_back(p.pixelRow);
    return rows;
}

TEST(ColourScan, TheRunsCentreIsWeightedByClosenessToAFractionOfARow)
{
    TestImage image(110, 110, 3);
    band(image, 0, 109, 40, 41, kRed);
    band(image, 0, 109, 42, 42, 0xFFFF1800u);  // green 24 off: closeness 49 - 24
    const std::vector<float> rows = rowsOf(image, colourAt(image, 50, 40));
    ASSERT_EQ(rows.size(), 97u);
    const double centre = (40.0 * 49 + 41.0 * 49 + 42.0 * 25) / (49 + 49 + 25);
    for (const float row : rows) EXPECT_FLOAT_EQ(row, static_cast<float>(centre));
}

TEST(ColourScan, ALegendOfTheSameColourAboveTheCurveDoesNotWin)
{
    TestImage image(110, 110);
    band(image, 0, 109, 60, 62, kRed);    // the curve
    band(image, 40, 60, 20, 21, kRed);    // the legend's line sample
    band(image, 64, 90, 18, 24, kBlack);  // and its text
    band(image, 40, 60, 1, 2, kRed);      // a sample above the window
    const std::vector<float> topmostDark = rowsOf(image, colourAt(image, 30, 61));
    for (const CurveColour& taken : {colourAt(image, 30, 61), colourAt(image, 50, 20), colourAt(image, 50, 1)}) {
        SCOPED_TRACE(::testing::Message() << "taken at " << taken.x << ", " << taken.y);
        for (const float row : rowsOf(image, taken)) ASSERT_EQ(row, 61.0f);
    }
    // What the darkest pixel takes there instead: the sample.
    EXPECT_EQ(digitize(image.view(), kRefs).points[50].pixelRow, 20.0f);
}

TEST(ColourScan, ACurveHiddenBehindAnotherIsBridgedOnAStraightLine)
{
    TestImage image(110, 110);
    // A red line falling half a row per column, drawn over by a blue band.
    for (int x = 0; x < 110; ++x) band(image, x, x, 20 + x / 2, 21 + x / 2, kRed);
    band(image, 0, 109, 40, 47, kBlue);
    const std::vector<float> rows = rowsOf(image, colourAt(image, 10, 25));
    std::vector<std::size_t> hidden;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int column = 2 + static_cast<int>(i);
        // Wholly covered, or half covered (one of its two rows shows).
        const bool covered = 20 + column / 2 >= 40 && 21 + column / 2 <= 47;
        if (covered)
            hidden.push_back(i);
        else
            EXPECT_NEAR(rows[i], 20.5 + column / 2, 0.5 + 1e-4) << "column " << column;
    }
    ASSERT_GT(hidden.size(), 10u);
    const std::size_t before = hidden.front() - 1, after = hidden.back() + 1;
    for (const std::size_t i : hidden) {
        const double t = static_cast<double>(i - before) / static_cast<double>(after - before);
        EXPECT_NEAR(rows[i], rows[before] + t * (rows[after] - rows[before]), 1e-4) << "point " << i;
    }
}

TEST(ColourScan, CrossingACurveOfAnotherColourStaysOnItsOwn)
{
    TestImage image(110, 110);
    for (int x = 0; x < 110; ++x) band(image, x, x, 15 + (x * 7) / 10, 16 + (x * 7) / 10, kRed);
    for (int x = 0; x < 110; ++x) band(image, x, x, 85 - (x * 7) / 10, 86 - (x * 7) / 10, kBlue);
    const std::vector<float> rows = rowsOf(image, colourAt(image, 80, 86 - 56));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int column = 2 + static_cast<int>(i);
        EXPECT_NEAR(rows[i], 85.5 - (column * 7) / 10, 1.0) << "column " << column;
    }
}

TEST(ColourScan, ASteepCurveSplitFromACrossingByOneLostRowKeepsItsWay)
{
    TestImage image(110, 110);
    // A steep line (two rows per column) crosses a flat one of its colour at
    // column 25; left of the crossing the steep line lost the one row that
    // joined it there (as a JPEG can), so only the flat line still touches.
    for (int x = 0; x < 50; ++x) band(image, x, x, 2 * x, 2 * x + 2, kRed);
    band(image, 0, 109, 50, 51, kRed);
    band(image, 23, 23, 47, 48, kWhite);
    const std::vector<float> rows = rowsOf(image, colourAt(image, 40, 81));
    for (int column = 4; column <= 40; ++column)
        EXPECT_NEAR(rows[static_cast<std::size_t>(column - 2)], 2 * column + 1, 1.6) << "column " << column;
}

TEST(ColourScan, AThinSteepCurveIsFollowedFromTheClickNotFromALongerLegendSample)
{
    TestImage image(110, 110);
    // One pixel per column, two rows apart: no two columns' runs touch.
    for (int x = 10; x <= 50; ++x) image.set(x, 2 * (x - 10) + 10, kRed);
    band(image, 60, 95, 20, 21, kRed);  // a level legend sample, longer than any piece of the curve
    // Clicked on the line, or on a pale speck beside it whose column holds
    // no part of the line near it: followed from the line's pixel either way.
    image.set(31, 49, kPaleRed);
    for (const CurveColour& taken : {colourAt(image, 30, 50), colourAt(image, 31, 49)}) {
        const std::vector<float> rows = rowsOf(image, taken);
        for (int column = 10; column <= 50; ++column)
            EXPECT_EQ(rows[static_cast<std::size_t>(column - 2)], 2 * (column - 10) + 10) << "column " << column;
    }
}

TEST(ColourScan, NoPointBeforeTheCurveStartsOrAfterItEnds)
{
    TestImage image(110, 110);
    band(image, 20, 40, 30, 30, kRed);
    band(image, 41, 60, 50, 50, kRed);
    band(image, 40, 41, 30, 50, kRed);  // the step between them
    band(image, 70, 80, 50, 50, kRed);  // after a gap, the curve goes on
    const DigitizeOutcome outcome = digitize(image.view(), kRefs, colourAt(image, 25, 30));
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.firstColumn, 20u - 2u);
    ASSERT_EQ(outcome.points.size(), 80u - 20u + 1u);
    EXPECT_DOUBLE_EQ(outcome.points.front().x, 20.0);  // the X of column 20
    EXPECT_DOUBLE_EQ(outcome.points.back().x, 80.0);
    const std::vector<float> rows = rowsOf(image, colourAt(image, 25, 30));
    for (int column = 20; column < 40; ++column) EXPECT_EQ(rows[column - 2], 30.0f) << "column " << column;
    for (int column = 42; column <= 80; ++column) EXPECT_EQ(rows[column - 2], 50.0f) << "column " << column;
}

TEST(ColourScan, NoMatchAnywhereRefusesTheRun)
{
    TestImage image(110, 110);
    band(image, 0, 109, 60, 62, kRed);
    band(image, 50, 52, 0, 3, kGreen);  // only outside the window
    const DigitizeOutcome outcome = digitize(image.view(), kRefs, colourAt(image, 51, 1));
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.refusal, msg::kNoColourMatch);
    EXPECT_TRUE(outcome.points.empty());
    // A window without columns has nothing to match and is no refusal.
    EXPECT_TRUE(
        digitize(image.view(), refsOf(ScaleMode::LinearLinear, 10, 95, 13, 5, 0, 0, 1, 1), colourAt(image, 51, 1))
            .ok());
}

TEST(ColourScan, TheCurveIsFollowedIntoTheRowsNearTheAxes)
{
    TestImage image(110, 110);
    band(image, 0, 100, 95, 95, kBlack);  // the X axis on the start row
    band(image, 0, 100, 5, 5, kBlack);    // the frame on the end row
    for (const int tick : {15, 35, 75}) band(image, tick, tick, 91, 94, kBlack);
    band(image, 0, 50, 89, 89, kBlack);  // a black curve 6 rows above the axis
    band(image, 51, 109, 6, 6, kBlack);  // then 1 row below the frame
    band(image, 50, 51, 6, 89, kBlack);
    const std::vector<float> rows = rowsOf(image, colourAt(image, 30, 89));
    for (int column = 2; column < 50; ++column) EXPECT_EQ(rows[column - 2], 89.0f) << "column " << column;
    for (int column = 52; column <= 98; ++column) EXPECT_EQ(rows[column - 2], 6.0f) << "column " << column;
}

TEST(ColourScan, APaleFringePixelLeadsToTheLinesCore)
{
    TestImage image(110, 110);
    band(image, 0, 109, 29, 29, kPaleRed);
    band(image, 0, 109, 30, 30, kRed);
    band(image, 0, 109, 31, 31, kPaleRed);
    const CurveColour fringe = colourAt(image, 50, 29);
    const CurveColour matched = fullestShadeNear(image.view(), fringe);
    EXPECT_EQ(matched.red, 255);
    EXPECT_EQ(matched.green, 0);
    EXPECT_EQ(matched.blue, 0);
    for (const float row : rowsOf(image, fringe)) ASSERT_EQ(row, 30.0f);

    // A JPEG's pale edge two rows from a thin line's core, its components
    // shifted but its hue the line's: the core's shade, not a darker grey.
    TestImage jpeg(110, 110);
    band(jpeg, 0, 109, 26, 26, 0xFF3C3C3Cu);
    band(jpeg, 0, 109, 28, 28, 0xFFACD2ABu);  // 172, 210, 171
    band(jpeg, 0, 109, 30, 30, 0xFF1E7828u);  // 30, 120, 40
    const CurveColour core = fullestShadeNear(jpeg.view(), colourAt(jpeg, 50, 28));
    EXPECT_EQ(core.red, 30);
    EXPECT_EQ(core.green, 120);
    EXPECT_EQ(core.blue, 40);

    // A colour that its pixel no longer shows, or a pale curve of its own, is kept.
    const CurveColour elsewhere{255, 128, 128, 50, 60};
    EXPECT_EQ(fullestShadeNear(image.view(), elsewhere).green, 128);
    TestImage pale(110, 110);
    band(pale, 0, 109, 30, 32, kPaleRed);
    EXPECT_EQ(fullestShadeNear(pale.view(), colourAt(pale, 50, 31)).green, 128);
}

TEST(ColourScan, RunsAreThoseOfAPixelByPixelReading)
{
    // Components near the target and the tolerance's edges, in a picture with
    // row padding the scan must never read.
    std::mt19937 random(7);
    const ColourTarget target{120, 60, 200, 48};
    std::uniform_int_distribution<int> offset(-60, 60), pick(0, 3);
    TestImage image(91, 37, 5);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const auto part = [&](int wanted) {
                return static_cast<std::uint32_t>(std::clamp(wanted + offset(random), 0, 255));
            };
            image.set(x, y, pick(random) == 0 ? kWhite : 0xFF000000u | part(120) << 16 | part(60) << 8 | part(200));
        }
    }
    ScanWindow window{1.0, 89.0, 2.0, 40.0};  // rows beyond the picture read as nothing
    const ColourRuns runs = findColourRuns(image.view(), window, target);
    ASSERT_EQ(runs.columnCount(), 89u);
    std::size_t total = 0;
    for (std::size_t i = 0; i < runs.columnCount(); ++i) {
        std::vector<ColourRun> expected;
        const int x = 1 + static_cast<int>(i);
        for (int j = 0; 2 + j < image.height(); ++j) {
            const int c = closenessTo(target, image.at(x, 2 + j));
            if (c == 0) continue;
            if (expected.empty() || expected.back().bottom != j - 1) expected.push_back({j, j, 0.0, 0.0});
            ColourRun& run = expected.back();
            run.centre = (run.centre * run.weight + static_cast<double>(c * j)) / (run.weight + c);
            run.weight += c;
            run.bottom = j;
        }
        const auto found = runs.column(i);
        ASSERT_EQ(found.size(), expected.size()) << "column " << x;
        for (std::size_t k = 0; k < found.size(); ++k) {
            EXPECT_EQ(found[k].top, expected[k].top);
            EXPECT_EQ(found[k].bottom, expected[k].bottom);
            EXPECT_DOUBLE_EQ(found[k].weight, expected[k].weight);
            EXPECT_NEAR(found[k].centre, expected[k].centre, 1e-9);
        }
        total += found.size();
    }
    EXPECT_GT(total, 200u);
    EXPECT_EQ(closenessTo(target, 0xFF78F0C8u), 0);   // green 60 + 180
    EXPECT_EQ(closenessTo(target, 0xFFA86CF8u), 1);   // red 48 off
    EXPECT_EQ(closenessTo(target, 0x00783CC8u), 49);  // alpha plays no part
}

}  // namespace
}  // namespace vastrel::digitize
