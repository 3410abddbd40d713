// The "Log - Linear" conversion: X on a logarithmic axis exactly as in
// "Log - Log", Y on a linear axis exactly as in "Linear - Linear", and the
// refusals of an undefined X axis.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/digitize/Conversion.h"
#include "engine/digitize/DigitizeMessages.h"
#include "TestReferences.h"

namespace vastrel::digitize {
namespace {

using testing::refsOf;

Conversion prepared(const References& refs)
{
    const PrepareResult result = prepare(refs);
    EXPECT_TRUE(result.ok()) << result.refusal;
    return result.ok() ? *result.conversion
                       : *prepare(refsOf(ScaleMode::LinearLinear, 0, 1, 1, 0, 0, 0, 1, 1)).conversion;
}

void expectClose(double actual, double expected)
{
    EXPECT_NEAR(actual, expected, std::abs(expected) * 1e-12) << "expected " << expected;
}

TEST(ConversionLogLinear, ADecadeForEveryThirdOfTheWidth)
{
    const Conversion c = prepared(refsOf(ScaleMode::LogLinear, 0, 500, 300, 100, 1, 0, 1000, 8));
    EXPECT_EQ(c.mode(), ScaleMode::LogLinear);
    EXPECT_EQ(c.columnToX(0), 1.0);  // column SX gives X1
    expectClose(c.columnToX(100), 10.0);
    expectClose(c.columnToX(200), 100.0);
    expectClose(c.columnToX(300), 1000.0);   // column EX gives X2
    expectClose(c.columnToX(400), 10000.0);  // and beyond, extrapolated
    EXPECT_EQ(c.kx(), std::log(1000.0 / 1.0) / 300.0);
}

TEST(ConversionLogLinear, XIsExactlyThatOfLogLogAndYThatOfLinearLinear)
{
    const References logLinear = refsOf(ScaleMode::LogLinear, 37, 611, 922, 18, 0.3, -12.5, 1234.5, 87.25);
    References logLog = logLinear, linear = logLinear;
    logLog.mode = ScaleMode::LogLog;
    logLog.y1 = 1.0;
    logLog.y2 = 10.0;
    linear.mode = ScaleMode::LinearLinear;
    const Conversion c = prepared(logLinear), x = prepared(logLog), y = prepared(linear);
    for (int p = 0; p <= 1000; p += 7) {
        ASSERT_EQ(c.columnToX(p), x.columnToX(p)) << "column " << p;
        ASSERT_EQ(c.rowToY(p), y.rowToY(p)) << "row " << p;
    }
    EXPECT_EQ(c.rowToY(611), -12.5);
    EXPECT_EQ(c.rowToY(18), 87.25);
}

TEST(ConversionLogLinear, RefusalsAreThoseOfALogarithmicXAxis)
{
    const auto refusal = [](const References& refs) { return prepare(refs).refusal; };
    EXPECT_EQ(refusal(refsOf(ScaleMode::LogLinear, 0, 400, 300, 100, 0, 1, 1000, 10)), msg::kLogXStartZero);
    EXPECT_EQ(refusal(refsOf(ScaleMode::LogLinear, 0, 400, 300, 100, 1, 1, 0, 10)), msg::kLogXSign);
    EXPECT_EQ(refusal(refsOf(ScaleMode::LogLinear, 0, 400, 300, 100, -1, 1, 1000, 10)), msg::kLogXSign);
    EXPECT_EQ(refusal(refsOf(ScaleMode::LogLinear, 0, 400, 300, 100, 1e-300, 1, 1e300, 10)), msg::kNotFinite);
    EXPECT_EQ(refusal(refsOf(ScaleMode::LogLinear, 120, 400, 120, 100, 1, 1, 10, 100)), msg::kSameColumn);
    // Y linear: a zero height is refused only when a column is scanned.
    EXPECT_EQ(refusal(refsOf(ScaleMode::LogLinear, 0, 250, 300, 250, 1, 0, 10, 1)), msg::kSameRow);
    EXPECT_TRUE(prepare(refsOf(ScaleMode::LogLinear, 10, 250, 13, 250, 1, 0, 10, 1)).ok());
    // Nothing of a logarithmic Y axis applies.
    EXPECT_TRUE(prepare(refsOf(ScaleMode::LogLinear, 0, 400, 300, 100, 1, 0, 10, -5)).ok());
}

}  // namespace
}  // namespace vastrel::digitize
