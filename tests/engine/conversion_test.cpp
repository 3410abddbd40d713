// The conversion of image positions to graph values: the worked examples of
// every scale mode, the exact operation order, and every refused reference set.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "engine/digitize/Conversion.h"
#include "engine/digitize/DigitizeMessages.h"
#include "TestReferences.h"

namespace vastrel::digitize {
namespace {

using testing::refsOf;

Conversion prepared(const References& refs)
{
    PrepareResult result = prepare(refs);
    EXPECT_TRUE(result.ok()) << result.refusal;
    EXPECT_TRUE(result.refusal.empty());
    if (!result.ok()) return *prepare(refsOf(ScaleMode::LinearLinear, 0, 100, 100, 0, 0, 0, 1, 1)).conversion;
    return *result.conversion;
}

std::string refusalOf(const References& refs)
{
    const PrepareResult result = prepare(refs);
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.conversion.has_value());
    return result.refusal;
}

// Relative closeness for the logarithmic modes, whose values pass ln and exp.
void expectClose(double actual, double expected)
{
    EXPECT_NEAR(actual, expected, std::abs(expected) * 1e-12) << "expected " << expected;
}

constexpr double kInf = std::numeric_limits<double>::infinity();

// ---------------------------------------------------------------- linear

TEST(ConversionLinear, WorkedExampleX)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLinear, 100, 500, 600, 100, 0, 0, 50, 8));
    EXPECT_EQ(c.columnToX(350), 25.0);
    EXPECT_EQ(c.columnToX(100), 0.0);
    EXPECT_EQ(c.columnToX(600), 50.0);
}

TEST(ConversionLinear, WorkedExampleY)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLinear, 100, 500, 600, 100, 0, 0, 50, 8));
    EXPECT_EQ(c.rowToY(300), 4.0);
    EXPECT_EQ(c.rowToY(500), 0.0);
    EXPECT_EQ(c.rowToY(100), 8.0);
}

TEST(ConversionLinear, PreparedQuantities)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLinear, 100, 500, 600, 100, 3, -2, 50, 8));
    EXPECT_EQ(c.mode(), ScaleMode::LinearLinear);
    EXPECT_EQ(c.width(), 500.0);
    EXPECT_EQ(c.height(), 400.0);
    EXPECT_EQ(c.kx(), 47.0);
    EXPECT_EQ(c.ky(), 10.0);
}

TEST(ConversionLinear, ReferencePixelsGiveTheTypedValues)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLinear, 37, 411, 522, 18, -12.5, 1000, 87.25, -3000));
    EXPECT_EQ(c.columnToX(37), -12.5);
    EXPECT_EQ(c.columnToX(522), 87.25);
    EXPECT_EQ(c.rowToY(411), 1000.0);
    EXPECT_EQ(c.rowToY(18), -3000.0);
}

TEST(ConversionLinear, ExtrapolatesOutsideTheReferences)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLinear, 100, 500, 600, 100, 0, 0, 50, 8));
    EXPECT_EQ(c.columnToX(700), 60.0);
    EXPECT_EQ(c.columnToX(0), -10.0);
    EXPECT_EQ(c.rowToY(600), -2.0);
    EXPECT_EQ(c.rowToY(0), 10.0);
}

TEST(ConversionLinear, DescendingAxes)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLinear, 100, 500, 600, 100, 50, 8, 0, 0));
    EXPECT_EQ(c.columnToX(100), 50.0);
    EXPECT_EQ(c.columnToX(350), 25.0);
    EXPECT_EQ(c.columnToX(600), 0.0);
    EXPECT_GT(c.columnToX(200), c.columnToX(201));
    EXPECT_EQ(c.rowToY(300), 4.0);
    EXPECT_LT(c.rowToY(200), c.rowToY(201));
}

TEST(ConversionLinear, ReversedPicksStillFollowTheFormula)
{
    // End point left of and below the start point: both spans are negative.
    const Conversion c = prepared(refsOf(ScaleMode::LinearLinear, 600, 100, 100, 500, 0, 0, 50, 8));
    EXPECT_EQ(c.width(), -500.0);
    EXPECT_EQ(c.height(), -400.0);
    EXPECT_EQ(c.columnToX(350), 25.0);
    EXPECT_EQ(c.rowToY(300), 4.0);
}

TEST(ConversionLinear, OperationOrderIsMultiplyThenDivide)
{
    // X = X1 + (((x - SX) * kx) / W) rounds differently from the algebraically
    // equal forms; these values tell them apart.
    const References r = refsOf(ScaleMode::LinearLinear, 100, 600, 600, 100, 0.1, 0.1, 0.7, 0.7);
    const Conversion c = prepared(r);
    const double w = 500.0, kx = 0.7 - 0.1;
    int differsA = 0, differsB = 0;
    for (int x = 90; x <= 610; ++x) {
        const double d = x - 100.0;
        const double expected = 0.1 + ((d * kx) / w);
        ASSERT_EQ(c.columnToX(x), expected) << "column " << x;
        ASSERT_EQ(c.rowToY(600 - x + 100), expected) << "row " << (600 - x + 100);
        differsA += expected != 0.1 + d * (kx / w);
        differsB += expected != 0.1 + (d / w) * kx;
    }
    EXPECT_GT(differsA, 0);
    EXPECT_GT(differsB, 0);
}

TEST(ConversionLinear, SpansAreTakenInDoublePrecision)
{
    // Single-precision picks, but the arithmetic on them is double precision.
    const Conversion c = prepared(refsOf(ScaleMode::LinearLinear, 0.1f, 700.3f, 650.7f, 0.2f, 0, 0, 1, 1));
    EXPECT_EQ(c.width(), static_cast<double>(650.7f) - static_cast<double>(0.1f));
    EXPECT_EQ(c.height(), static_cast<double>(700.3f) - static_cast<double>(0.2f));
    const double x = 333.0;
    EXPECT_EQ(c.columnToX(x), 0.0 + (((x - static_cast<double>(0.1f)) * 1.0) / c.width()));
}

TEST(ConversionLinear, ZeroWidthIsAcceptedBecauseNoColumnIsScanned)
{
    const PrepareResult r = prepare(refsOf(ScaleMode::LinearLinear, 100, 500, 100, 100, 0, 0, 50, 8));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.conversion->rowToY(300), 4.0);
}

// ---------------------------------------------------------------- Linear - Log

TEST(ConversionLinearLog, WorkedExample)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 0.1, 10, 100));
    EXPECT_EQ(c.mode(), ScaleMode::LinearLog);
    expectClose(c.rowToY(300), 1.0);
    expectClose(c.rowToY(200), 10.0);
    expectClose(c.rowToY(100), 100.0);
    EXPECT_EQ(c.rowToY(400), 0.1);
    // X stays linear.
    EXPECT_EQ(c.columnToX(50), 5.0);
    EXPECT_EQ(c.columnToX(25), 2.5);
    EXPECT_EQ(c.columnToX(100), 10.0);
    EXPECT_EQ(c.kx(), 10.0);
}

TEST(ConversionLinearLog, CoefficientIsLogOfRatioOverHeight)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 0.1, 10, 100));
    EXPECT_EQ(c.ky(), std::log(100.0 / 0.1) / 300.0);
}

TEST(ConversionLinearLog, LinearXAcceptsZeroAndOppositeSigns)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, -5, 1, 5, 10));
    EXPECT_EQ(c.columnToX(50), 0.0);
    EXPECT_EQ(c.columnToX(0), -5.0);
    const Conversion z = prepared(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 1, 0, 10));
    EXPECT_EQ(z.columnToX(50), 0.0);
}

TEST(ConversionLinearLog, NegativeValuesOfTheSameSign)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, -0.1, 10, -100));
    expectClose(c.rowToY(300), -1.0);
    expectClose(c.rowToY(200), -10.0);
    EXPECT_EQ(c.rowToY(400), -0.1);
}

TEST(ConversionLinearLog, DescendingAndExtrapolated)
{
    const Conversion c = prepared(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 100, 10, 0.1));
    expectClose(c.rowToY(300), 10.0);
    expectClose(c.rowToY(200), 1.0);
    expectClose(c.rowToY(0), 0.01);      // above the end point
    expectClose(c.rowToY(500), 1000.0);  // below the start point
}

// ---------------------------------------------------------------- Log - Log

TEST(ConversionLogLog, WorkedExample)
{
    const Conversion c = prepared(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, 1, 0.1, 1000, 100));
    EXPECT_EQ(c.mode(), ScaleMode::LogLog);
    expectClose(c.columnToX(100), 10.0);
    expectClose(c.columnToX(200), 100.0);
    expectClose(c.columnToX(300), 1000.0);
    EXPECT_EQ(c.columnToX(0), 1.0);
    expectClose(c.rowToY(300), 1.0);
    expectClose(c.rowToY(200), 10.0);
    EXPECT_EQ(c.rowToY(400), 0.1);
}

TEST(ConversionLogLog, CoefficientsAreLogOfRatioOverSpan)
{
    const Conversion c = prepared(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, 1, 0.1, 1000, 100));
    EXPECT_EQ(c.kx(), std::log(1000.0 / 1.0) / 300.0);
    EXPECT_EQ(c.ky(), std::log(100.0 / 0.1) / 300.0);
}

TEST(ConversionLogLog, ExtrapolatesAndDescends)
{
    const Conversion c = prepared(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, 1, 0.1, 1000, 100));
    expectClose(c.columnToX(400), 10000.0);
    expectClose(c.columnToX(-100), 0.1);
    const Conversion d = prepared(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, 1000, 100, 1, 0.1));
    expectClose(d.columnToX(100), 100.0);
    expectClose(d.columnToX(200), 10.0);
    expectClose(d.rowToY(300), 10.0);
}

TEST(ConversionLogLog, NegativeValuesOfTheSameSign)
{
    const Conversion c = prepared(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, -1, -0.1, -1000, -100));
    expectClose(c.columnToX(100), -10.0);
    expectClose(c.rowToY(200), -10.0);
}

TEST(ConversionLogLog, OperationOrderIsRatioLogDivideThenExp)
{
    // kx = ln(X2 / X1) / W and X = X1 * exp((x - SX) * kx); computing the
    // logarithm as a difference, using a power or not precomputing kx rounds
    // differently, which these values show.
    const double v1 = 0.3, v2 = 1234.5;
    const Conversion c = prepared(refsOf(ScaleMode::LogLog, 100, 600, 600, 100, v1, v1, v2, v2));
    const double w = 500.0;
    const double ratio = v2 / v1;
    const double k = std::log(ratio) / w;
    ASSERT_EQ(c.kx(), k);
    ASSERT_EQ(c.ky(), k);
    int differsDiff = 0, differsPow = 0, differsInline = 0;
    for (int x = 90; x <= 610; ++x) {
        const double d = x - 100.0;
        const double expected = v1 * std::exp(d * k);
        ASSERT_EQ(c.columnToX(x), expected) << "column " << x;
        ASSERT_EQ(c.rowToY(700 - x), expected) << "row " << (700 - x);
        differsDiff += expected != v1 * std::exp(d * ((std::log(v2) - std::log(v1)) / w));
        differsPow += expected != v1 * std::pow(ratio, d / w);
        differsInline += expected != v1 * std::exp((d * std::log(ratio)) / w);
    }
    EXPECT_GT(differsDiff, 0);
    EXPECT_GT(differsPow, 0);
    EXPECT_GT(differsInline, 0);
}

// ---------------------------------------------------------------- refusals

TEST(ConversionRefusal, LogYWithStartYZero)
{
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 0, 10, 100)), msg::kLogYStartZero);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 100, 100, 1, 0, 10, 100)), msg::kLogYStartZero);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 100, 100, 1, -0.0, 10, 100)), msg::kLogYStartZero);
}

TEST(ConversionRefusal, LogYWithRatioZeroOrNegative)
{
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 1, 10, 0)), msg::kLogYSign);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 1, 10, -100)), msg::kLogYSign);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, -1, 10, 100)), msg::kLogYSign);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 100, 100, 1, 2, 10, -3)), msg::kLogYSign);
    // The quotient of two tiny values of the same sign that underflows to 0.
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 1e300, 10, 1e-300)), msg::kLogYSign);
}

TEST(ConversionRefusal, LogYWithRatioNotFinite)
{
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 1e-300, 10, 1e300)), msg::kNotFinite);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 400, 100, 100, 0, 1, 10, kInf)), msg::kNotFinite);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 100, 100, 1, kInf, 10, kInf)), msg::kNotFinite);
}

TEST(ConversionRefusal, LogXWithStartXZero)
{
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, 0, 1, 1000, 10)), msg::kLogXStartZero);
}

TEST(ConversionRefusal, LogXWithRatioZeroOrNegative)
{
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, 1, 1, 0, 10)), msg::kLogXSign);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, 1, 1, -1000, 10)), msg::kLogXSign);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, -1, 1, 1000, 10)), msg::kLogXSign);
}

TEST(ConversionRefusal, LogXWithRatioNotFinite)
{
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, 1e-300, 1, 1e300, 10)), msg::kNotFinite);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 400, 300, 100, 1, 1, -kInf, 10)), msg::kLogXSign);
}

TEST(ConversionRefusal, LogYWithSameRow)
{
    // Refused even when no column would be scanned: the coefficient itself
    // would divide by zero.
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 250, 100, 250, 0, 1, 10, 100)), msg::kSameRow);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 250, 3, 250, 0, 1, 10, 100)), msg::kSameRow);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 0, 250, 300, 250, 1, 1, 10, 100)), msg::kSameRow);
}

TEST(ConversionRefusal, LogXWithSameColumn)
{
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 120, 400, 120, 100, 1, 1, 10, 100)), msg::kSameColumn);
}

TEST(ConversionRefusal, LinearWithSameRowOnlyWhenAColumnIsScanned)
{
    // EX - SX = 4 scans column SX + 2: refused.
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLinear, 10, 250, 14, 250, 0, 0, 1, 1)), msg::kSameRow);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLinear, 0, 250, 600, 250, 0, 0, 1, 1)), msg::kSameRow);
    // EX - SX = 3 scans nothing: accepted.
    EXPECT_TRUE(prepare(refsOf(ScaleMode::LinearLinear, 10, 250, 13, 250, 0, 0, 1, 1)).ok());
    EXPECT_TRUE(prepare(refsOf(ScaleMode::LinearLinear, 10, 250, 13.5f, 250, 0, 0, 1, 1)).ok());
    EXPECT_TRUE(prepare(refsOf(ScaleMode::LinearLinear, 600, 250, 0, 250, 0, 0, 1, 1)).ok());
}

TEST(ConversionRefusal, LinearLogWithSameColumnIsAccepted)
{
    // X linear: W = 0 only ever divides when a column is scanned, and none is.
    EXPECT_TRUE(prepare(refsOf(ScaleMode::LinearLog, 120, 400, 120, 100, 1, 1, 10, 100)).ok());
}

TEST(ConversionRefusal, LinearCoefficientsTooLarge)
{
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLinear, 0, 400, 300, 100, -1e308, 0, 1.5e308, 1)), msg::kNotFinite);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLinear, 0, 400, 300, 100, 0, 1.5e308, 1, -1e308)), msg::kNotFinite);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLinear, 0, 400, 300, 100, kInf, 0, 1, 1)), msg::kNotFinite);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LinearLog, 0, 400, 300, 100, kInf, 1, kInf, 10)), msg::kNotFinite);
}

TEST(ConversionRefusal, ChecksRunYThenXThenSpans)
{
    // Everything wrong at once: the Y axis is reported first.
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 5, 5, 5, 5, 0, 0, 0, 0)), msg::kLogYStartZero);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 5, 5, 5, 5, 0, 1, 0, -1)), msg::kLogYSign);
    // Y fine: the X axis next.
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 5, 5, 5, 5, 0, 1, 0, 10)), msg::kLogXStartZero);
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 5, 5, 5, 5, 1, 1, -1, 10)), msg::kLogXSign);
    // Values fine: the rows before the columns.
    EXPECT_EQ(refusalOf(refsOf(ScaleMode::LogLog, 5, 5, 5, 5, 1, 1, 10, 10)), msg::kSameRow);
}

TEST(ConversionRefusal, MessageTexts)
{
    EXPECT_EQ(msg::kLogYStartZero, " --- Y軸が Log のため、始点の Y座標に 0 は使えません --- ");
    EXPECT_EQ(msg::kLogYSign, " --- Y軸が Log のため、始点と終点の Y座標は同じ符号の 0 以外の値にして下さい --- ");
    EXPECT_EQ(msg::kLogXStartZero, " --- X軸が Log のため、始点の X座標に 0 は使えません --- ");
    EXPECT_EQ(msg::kLogXSign, " --- X軸が Log のため、始点と終点の X座標は同じ符号の 0 以外の値にして下さい --- ");
    EXPECT_EQ(msg::kSameRow,
              " --- 始点と終点の Y ピクセルが同じです。始点（左下）と終点（右上）を指定し直して下さい --- ");
    EXPECT_EQ(msg::kSameColumn,
              " --- 始点と終点の X ピクセルが同じです。始点（左下）と終点（右上）を指定し直して下さい --- ");
    EXPECT_EQ(msg::kTooWide,
              " --- 始点と終点が離れすぎています。取り込めるのは 1000 点（X 方向 1003 ピクセル）までです --- ");
    EXPECT_EQ(msg::kNotFinite, " --- 座標の値が大きすぎて変換できません。始点と終点の座標を確かめて下さい --- ");
    EXPECT_EQ(msg::kNoData, " --- データが入力されていません --- ");
    EXPECT_EQ(msg::kFinished, " --- DIGITIZE が終了しました。--- ");
}

TEST(ConversionRefusal, AcceptedConversionsHaveFiniteCoefficients)
{
    for (const ScaleMode mode : {ScaleMode::LinearLinear, ScaleMode::LinearLog, ScaleMode::LogLog}) {
        const PrepareResult r = prepare(refsOf(mode, 3, 790, 997, 4, 1e-3, 2e-5, 4e6, 7e4));
        ASSERT_TRUE(r.ok()) << static_cast<int>(mode);
        EXPECT_TRUE(r.refusal.empty());
        EXPECT_TRUE(std::isfinite(r.conversion->kx()));
        EXPECT_TRUE(std::isfinite(r.conversion->ky()));
    }
}

}  // namespace
}  // namespace vastrel::digitize
