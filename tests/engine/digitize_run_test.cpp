// A whole digitizing run without the display: the order of its checks, the
// number of points and the relation of every point to its column and row.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "TestImage.h"
#include "engine/digitize/ColumnScanReference.h"
#include "engine/digitize/Conversion.h"
#include "engine/digitize/DigitizeMessages.h"
#include "TestReferences.h"
#include "engine/digitize/DigitizeRun.h"
#include "engine/digitize/ScanWindow.h"

namespace vastrel::digitize {
namespace {

using namespace vastrel::digitize::testing;

// A white picture with a black curve, row 20 + (x mod 10) in column x, from
// column `from` on.
TestImage curvePicture(int width, int height, int from = 0)
{
    TestImage image(width, height);
    for (int x = from; x < width; ++x) image.set(x, 20 + x % 10, kBlack);
    return image;
}

// Every point is the conversion of its column (startX + 2 + i) and its row.
void expectPointsFollowTheConversion(const DigitizeOutcome& outcome, const References& refs)
{
    const PrepareResult prepared = prepare(refs);
    ASSERT_TRUE(prepared.ok());
    ASSERT_EQ(static_cast<std::int64_t>(outcome.points.size()), scanWindowOf(refs).columnCount());
    for (std::size_t i = 0; i < outcome.points.size(); ++i) {
        const double column = static_cast<double>(refs.startX) + 2.0 + static_cast<double>(i);
        const DigitizedPoint& p = outcome.points[i];
        ASSERT_EQ(p.x, prepared.conversion->columnToX(column)) << "point " << i;
        ASSERT_EQ(p.y, prepared.conversion->rowToY(p.pixelRow)) << "point " << i;
    }
}

TEST(DigitizeRun, OnePointPerColumnInOrder)
{
    const TestImage image = curvePicture(120, 60);
    const References refs = refsOf(ScaleMode::LinearLinear, 10, 55, 110, 5, 0, 0, 100, 50);
    const DigitizeOutcome outcome = digitize(image.view(), refs);
    ASSERT_TRUE(outcome.ok()) << outcome.refusal;
    EXPECT_TRUE(outcome.refusal.empty());
    ASSERT_EQ(outcome.points.size(), 97u);  // columns 12 .. 108
    for (std::size_t i = 0; i < outcome.points.size(); ++i) {
        const int column = 12 + static_cast<int>(i);
        const float row = static_cast<float>(20 + column % 10);
        EXPECT_EQ(outcome.points[i].pixelRow, row) << "point " << i;
        EXPECT_EQ(outcome.points[i].x, static_cast<double>(column - 10)) << "point " << i;
        EXPECT_EQ(outcome.points[i].y, 55.0 - row) << "point " << i;
    }
}

TEST(DigitizeRun, PointsFollowTheConversionInEveryMode)
{
    const TestImage image = curvePicture(120, 60);
    for (const ScaleMode mode : {ScaleMode::LinearLinear, ScaleMode::LinearLog, ScaleMode::LogLog}) {
        SCOPED_TRACE(static_cast<int>(mode));
        const References refs = refsOf(mode, 10, 55, 110, 5, 0.5, 0.01, 2000, 300);
        const DigitizeOutcome outcome = digitize(image.view(), refs);
        ASSERT_TRUE(outcome.ok()) << outcome.refusal;
        expectPointsFollowTheConversion(outcome, refs);
    }
}

TEST(DigitizeRun, RowsAreThoseOfTheScan)
{
    TestImage image = curvePicture(120, 60, 30);
    image.row(25, grey(128));
    image.column(50, kYellow);
    const References refs = refsOf(ScaleMode::LinearLog, 10, 55, 110, 5, 0, 1, 1, 10);
    const DigitizeOutcome outcome = digitize(image.view(), refs);
    ASSERT_TRUE(outcome.ok()) << outcome.refusal;
    const std::vector<float> rows = scanColumnsPerPixel(image.view(), refs);
    ASSERT_EQ(outcome.points.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(outcome.points[i].pixelRow, rows[i]) << "point " << i;
}

TEST(DigitizeRun, DescendingAxes)
{
    const TestImage image = curvePicture(120, 60);
    const References refs = refsOf(ScaleMode::LinearLinear, 10, 55, 110, 5, 100, 50, 0, 0);
    const DigitizeOutcome outcome = digitize(image.view(), refs);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.points.front().x, 98.0);
    EXPECT_EQ(outcome.points.back().x, 2.0);
    EXPECT_EQ(outcome.points.front().y, 50.0 - (55.0 - 22.0));
}

TEST(DigitizeRun, SpanOfThreeIsARunWithoutPoints)
{
    const TestImage image = curvePicture(120, 60);
    const DigitizeOutcome outcome = digitize(image.view(), refsOf(ScaleMode::LinearLinear, 10, 55, 13, 5, 0, 0, 1, 1));
    EXPECT_TRUE(outcome.ok());
    EXPECT_TRUE(outcome.points.empty());
    // Both linear with equal rows: nothing would divide, so still no refusal.
    const DigitizeOutcome flat = digitize(image.view(), refsOf(ScaleMode::LinearLinear, 10, 30, 13, 30, 0, 0, 1, 1));
    EXPECT_TRUE(flat.ok());
    EXPECT_TRUE(flat.points.empty());
}

TEST(DigitizeRun, SpanOf1003GivesExactly1000Points)
{
    const TestImage image = curvePicture(1004, 60);
    const References refs = refsOf(ScaleMode::LinearLinear, 0, 55, 1003, 5, 0, 0, 1003, 50);
    const DigitizeOutcome outcome = digitize(image.view(), refs);
    ASSERT_TRUE(outcome.ok()) << outcome.refusal;
    ASSERT_EQ(outcome.points.size(), kMaxPoints);
    EXPECT_EQ(outcome.points.front().x, 2.0);
    EXPECT_EQ(outcome.points.back().x, 1001.0);
    EXPECT_EQ(outcome.points.back().pixelRow, static_cast<float>(20 + 1001 % 10));
}

TEST(DigitizeRun, WiderSpanIsRefusedBeforeAnythingElse)
{
    const TestImage image = curvePicture(1010, 60);
    const DigitizeOutcome wide = digitize(image.view(), refsOf(ScaleMode::LinearLinear, 0, 55, 1004, 5, 0, 0, 1, 1));
    EXPECT_FALSE(wide.ok());
    EXPECT_EQ(wide.refusal, msg::kTooWide);
    EXPECT_TRUE(wide.points.empty());
    const DigitizeOutcome half = digitize(image.view(), refsOf(ScaleMode::LinearLinear, 2, 55, 1005.5f, 5, 0, 0, 1, 1));
    EXPECT_EQ(half.refusal, msg::kTooWide);
    // The span is checked before the conversion: an undefined one does not
    // change the message.
    const DigitizeOutcome both = digitize(image.view(), refsOf(ScaleMode::LogLog, 0, 55, 1004, 55, 0, 0, 1, 1));
    EXPECT_EQ(both.refusal, msg::kTooWide);
}

TEST(DigitizeRun, UndefinedConversionIsRefused)
{
    const TestImage image = curvePicture(120, 60);
    const DigitizeOutcome y = digitize(image.view(), refsOf(ScaleMode::LinearLog, 10, 55, 110, 5, 0, 0, 1, 1));
    EXPECT_FALSE(y.ok());
    EXPECT_EQ(y.refusal, msg::kLogYStartZero);
    EXPECT_TRUE(y.points.empty());
    const DigitizeOutcome x = digitize(image.view(), refsOf(ScaleMode::LogLog, 10, 55, 110, 5, 1, 1, -1, 10));
    EXPECT_EQ(x.refusal, msg::kLogXSign);
    const DigitizeOutcome flat = digitize(image.view(), refsOf(ScaleMode::LinearLinear, 10, 30, 110, 30, 0, 0, 1, 1));
    EXPECT_EQ(flat.refusal, msg::kSameRow);
    const DigitizeOutcome narrow = digitize(image.view(), refsOf(ScaleMode::LogLog, 10, 55, 10, 5, 1, 1, 10, 10));
    EXPECT_EQ(narrow.refusal, msg::kSameColumn);
}

TEST(DigitizeRun, NonFiniteValueRefusesTheWholeRun)
{
    // Rows 473 .. 485 are scanned. Columns 2 .. 9 are blank and keep row 0,
    // far above the end point; its extrapolated Y overflows. Nothing partial
    // is returned, although the later columns convert fine.
    TestImage late(60, 600);
    for (int x = 10; x < 60; ++x) late.set(x, 480, kBlack);
    const References linear = refsOf(ScaleMode::LinearLinear, 0, 500, 40, 470, 0, 1.7e308, 1, 1.75e308);
    const DigitizeOutcome refused = digitize(late.view(), linear);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.refusal, msg::kNotFinite);
    EXPECT_TRUE(refused.points.empty());

    const References logY = refsOf(ScaleMode::LinearLog, 0, 500, 40, 470, 0, 1e300, 1, 1e307);
    EXPECT_EQ(digitize(late.view(), logY).refusal, msg::kNotFinite);

    // Curve from the first column on: every row lies between the references.
    TestImage early(60, 600);
    for (int x = 0; x < 60; ++x) early.set(x, 480, kBlack);
    const DigitizeOutcome fine = digitize(early.view(), linear);
    ASSERT_TRUE(fine.ok()) << fine.refusal;
    EXPECT_EQ(fine.points.size(), 37u);
    for (const DigitizedPoint& p : fine.points) EXPECT_TRUE(std::isfinite(p.y));
    EXPECT_TRUE(digitize(early.view(), logY).ok());
}

TEST(DigitizeRun, NonFiniteValueAfterGoodPointsLeavesNoPartialList)
{
    // (SY - r) * ky overflows for rows 18 or more above the start point, so the
    // first eight columns (row 485) convert and the rest (row 475) do not.
    TestImage image(60, 600);
    for (int x = 0; x < 60; ++x) image.set(x, x < 10 ? 485 : 475, kBlack);
    const References refs = refsOf(ScaleMode::LinearLinear, 0, 500, 40, 470, 0, -5e306, 1, 5e306);
    const DigitizeOutcome outcome = digitize(image.view(), refs);
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.refusal, msg::kNotFinite);
    EXPECT_TRUE(outcome.points.empty());
    // The first columns alone are fine.
    EXPECT_TRUE(digitize(image.view(), refsOf(ScaleMode::LinearLinear, 0, 500, 11, 470, 0, -5e306, 1, 5e306)).ok());
}

TEST(DigitizeRun, WindowBeyondThePicture)
{
    const TestImage image = curvePicture(50, 40);
    const References refs = refsOf(ScaleMode::LinearLinear, -20, 80, 90, -10, -20, 0, 90, 90);
    const DigitizeOutcome outcome = digitize(image.view(), refs);
    ASSERT_TRUE(outcome.ok()) << outcome.refusal;
    ASSERT_EQ(outcome.points.size(), 107u);  // columns -18 .. 88
    EXPECT_EQ(outcome.points[0].pixelRow, 0.0f);
    EXPECT_EQ(outcome.points[17].pixelRow, 0.0f);   // column -1
    EXPECT_EQ(outcome.points[18].pixelRow, 20.0f);  // column 0
    EXPECT_EQ(outcome.points[67].pixelRow, 29.0f);  // column 49, the last of the picture
    EXPECT_EQ(outcome.points[106].pixelRow, 29.0f);
    expectPointsFollowTheConversion(outcome, refs);
}

}  // namespace
}  // namespace vastrel::digitize
