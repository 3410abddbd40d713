#include "engine/digitize/GridValues.h"

#include <gtest/gtest.h>

namespace vastrel::digitize {
namespace {

using Values = std::vector<double>;

TEST(GridValues, RoundStepsOnLinearAxes)
{
    EXPECT_EQ(gridValues(0, 10, false), (Values{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(gridValues(100, 0, false), (Values{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(gridValues(-2.5, 7.5, false), (Values{-2, -1, 0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(gridValues(-40, 20, false), (Values{-40, -30, -20, -10, 0, 10, 20}));
    EXPECT_EQ(gridValues(0.1, 0.35, false).size(), 6u);  // 0.1, 0.15 .. 0.35
    EXPECT_TRUE(gridValues(5, 5, false).empty());
}

TEST(GridValues, DecadesAndTheirSubdivisionsOnLogarithmicAxes)
{
    EXPECT_EQ(gridValues(1, 1000, true), (Values{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}));
    EXPECT_EQ(gridValues(0.1, 100, true), (Values{0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100}));
    EXPECT_EQ(gridValues(10, 1e8, true), (Values{10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8}));
    EXPECT_TRUE(gridValues(0, 100, true).empty());
}

}  // namespace
}  // namespace vastrel::digitize
