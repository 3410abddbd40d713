// Unset values read as 0; the result tables check every index.

#include "shell/PointTables.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vastrel::shell;

TEST(SharedState, UnsetValuesReadAsZeroUntilWritten)
{
    Unset<float> pixel;
    Unset<std::int16_t> count;
    EXPECT_FALSE(pixel.isSet());
    EXPECT_EQ(static_cast<float>(pixel) + 2.0f, 2.0f);
    EXPECT_EQ(count + 1, 1);
    pixel = 245.0f;
    EXPECT_TRUE(pixel.isSet());
    EXPECT_EQ(static_cast<float>(pixel), 245.0f);
    pixel = 0.0f;
    EXPECT_TRUE(pixel.isSet()) << "a written 0 is not the same as unset";
}

TEST(SharedState, TablesHold1001RowsAndStartUnset)
{
    DigitizedPointTable points;
    CurvePixelTable rows;
    EXPECT_FALSE(points(0).X.isSet());
    EXPECT_EQ(static_cast<double>(points(1000).Y), 0.0);
    points(1000).X = 4.5;
    rows(1000) = 17.0f;
    EXPECT_EQ(static_cast<double>(points(1000).X), 4.5);
    EXPECT_EQ(static_cast<float>(rows(1000)), 17.0f);
    EXPECT_FALSE(points(999).X.isSet());
}

TEST(SharedState, IndexOutsideTheTableIsASubscriptError)
{
    CurvePixelTable rows;
    EXPECT_THROW(rows(1001), SubscriptOutOfRange);
    EXPECT_THROW(rows(-1), SubscriptOutOfRange);
    EXPECT_THROW(rows(std::nan("")), SubscriptOutOfRange);
    EXPECT_THROW(rows(1e12), SubscriptOutOfRange);
    EXPECT_NO_THROW(rows(-0.4));
    EXPECT_NO_THROW(rows(1000.4));
}

TEST(SharedState, FractionalIndexesRoundHalfToEven)
{
    EXPECT_EQ(checkedRow(2.5), 2);
    EXPECT_EQ(checkedRow(3.5), 4);
    EXPECT_EQ(checkedRow(999.6), 1000);
    EXPECT_EQ(checkedRow(1000.5), 1000);
    EXPECT_THROW(checkedRow(1001.5), SubscriptOutOfRange);
}
