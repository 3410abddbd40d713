// The column scan on small synthetic pictures. Every case runs against both
// the production scan and the per-pixel reference, so each is checked against
// the stated rules and not only against the other.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestImage.h"
#include "engine/digitize/ColumnScan.h"
#include "engine/digitize/ColumnScanReference.h"

namespace vastrel::digitize {
namespace {

using namespace vastrel::digitize::testing;

using ScanFunction = std::vector<float> (*)(const PixelView&, const References&);

struct ScanImpl {
    const char* name;
    ScanFunction scan;
};

References window(float startX, float startY, float endX, float endY)
{
    References r;
    r.startX = startX;
    r.startY = startY;
    r.endX = endX;
    r.endY = endY;
    return r;
}

class ColumnScan : public ::testing::TestWithParam<ScanImpl> {
protected:
    std::vector<float> scan(const TestImage& image, const References& refs) const
    {
        return GetParam().scan(image.view(), refs);
    }
    std::vector<float> scan(const PixelView& view, const References& refs) const { return GetParam().scan(view, refs); }
};

TEST_P(ColumnScan, BlackCurveOnWhiteGivesItsTopmostPixel)
{
    TestImage image(30, 40);
    for (int x = 0; x < 30; ++x)
        for (int t = 0; t < 3; ++t) image.set(x, 5 + (x % 6) * 2 + t, kBlack);
    // Columns 2 .. 12, rows 3 .. 20.
    const std::vector<float> rows = scan(image, window(0, 35, 14, 0));
    ASSERT_EQ(rows.size(), 11u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], static_cast<float>(5 + ((2 + i) % 6) * 2)) << "column " << 2 + i;
}

TEST_P(ColumnScan, GreenZeroColoursBeatAMidGreyGrid)
{
    TestImage image(30, 40);
    image.row(8, grey(128));
    image.column(7, grey(128));
    image.set(4, 15, kRed);
    image.set(5, 12, kBlue);
    image.set(6, 17, kMagenta);
    image.set(9, 19, kBlack);
    const std::vector<float> rows = scan(image, window(0, 35, 14, 0));
    const std::vector<float> expected{8, 8, 15, 12, 17, 3, 8, 19, 8, 8, 8};
    EXPECT_EQ(rows, expected);
}

TEST_P(ColumnScan, OnlyGreenBelow255IsEverTaken)
{
    TestImage image(30, 40);
    image.set(2, 5, kGreen);
    image.set(3, 6, kYellow);
    image.set(4, 7, kCyan);
    // column 5 stays white
    image.set(6, 9, grey(254));  // the lightest colour that counts
    image.set(7, 4, kGreen);
    image.set(7, 18, grey(200));
    image.column(8, kYellow);
    image.set(9, 5, 0x00FFFFFFu);    // the alpha byte plays no part...
    image.set(10, 11, 0x00000000u);  // ...in either direction
    image.set(11, 4, 0xFFFEFFFEu);   // red and blue below 255, green 255
    image.set(12, 13, 0xFFFFFEFFu);  // red and blue 255, green 254
    const std::vector<float> rows = scan(image, window(0, 35, 14, 0));
    const std::vector<float> expected{0, 0, 0, 0, 9, 18, 18, 18, 11, 11, 13};
    EXPECT_EQ(rows, expected);
}

TEST_P(ColumnScan, GapRepeatsTheLastRow)
{
    TestImage image(30, 40);
    image.set(2, 10, kBlack);
    image.set(3, 11, kBlack);
    image.set(7, 5, kBlack);
    const std::vector<float> rows = scan(image, window(0, 35, 14, 0));
    const std::vector<float> expected{10, 11, 11, 11, 11, 5, 5, 5, 5, 5, 5};
    EXPECT_EQ(rows, expected);
}

TEST_P(ColumnScan, BlankFirstColumnsGiveRowZero)
{
    TestImage image(30, 40);
    image.set(5, 9, kBlack);
    const std::vector<float> rows = scan(image, window(0, 35, 14, 0));
    const std::vector<float> expected{0, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(rows, expected);
}

TEST_P(ColumnScan, BlankPictureGivesRowZeroEverywhere)
{
    const TestImage image(30, 40);
    EXPECT_EQ(scan(image, window(0, 35, 14, 0)), std::vector<float>(11, 0.0f));
}

TEST_P(ColumnScan, TopmostOfEquallyDarkPixelsWins)
{
    TestImage image(30, 40);
    image.set(2, 6, kBlack);
    image.set(2, 10, kBlack);
    image.set(3, 7, grey(128));
    image.set(3, 9, grey(128));
    image.set(4, 4, grey(128));  // lighter above...
    image.set(4, 16, kBlack);    // ...darker below wins
    image.set(5, 3, grey(101));
    image.set(5, 5, grey(100));
    image.set(5, 18, grey(100));
    image.column(6, kBlack);
    image.set(7, 20, kRed);  // equal darkness, different colours
    image.set(7, 12, kBlue);
    const std::vector<float> rows = scan(image, window(0, 35, 14, 0));
    const std::vector<float> expected{6, 7, 16, 5, 3, 12, 12, 12, 12, 12, 12};
    EXPECT_EQ(rows, expected);
}

TEST_P(ColumnScan, BorderRowsAndColumnsAreNotExamined)
{
    // References (5, 30) and (20, 4): columns 7 .. 18 and rows 7 .. 15.
    TestImage image(30, 40, 0, kBlack);
    for (int y = 7; y <= 15; ++y)
        for (int x = 7; x <= 18; ++x) image.set(x, y, kWhite);
    image.set(7, 7, kBlack);
    image.set(10, 11, grey(60));
    image.set(18, 15, kBlack);
    const std::vector<float> rows = scan(image, window(5, 30, 20, 4));
    const std::vector<float> expected{7, 7, 7, 11, 11, 11, 11, 11, 11, 11, 11, 15};
    EXPECT_EQ(rows, expected);
}

TEST_P(ColumnScan, SpanOfThreeHasNoColumns)
{
    TestImage image(30, 40, 0, kBlack);
    EXPECT_TRUE(scan(image, window(5, 30, 8, 4)).empty());
    EXPECT_TRUE(scan(image, window(5, 30, 8.9f, 4)).empty());
    EXPECT_TRUE(scan(image, window(20, 30, 5, 4)).empty());
    const std::vector<float> one = scan(image, window(5, 30, 9, 4));
    EXPECT_EQ(one, std::vector<float>{7});
}

TEST_P(ColumnScan, SpanOf1003Gives1000Columns)
{
    TestImage image(1004, 30, 3);
    for (int x = 0; x < 1004; ++x) image.set(x, 3 + (x * 7) % 8, kBlack);
    const std::vector<float> rows = scan(image, window(0, 25, 1003, 0));  // rows 3 .. 10
    ASSERT_EQ(rows.size(), 1000u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(rows[i], static_cast<float>(3 + ((i + 2) * 7) % 8)) << "column " << i + 2;
}

TEST_P(ColumnScan, WindowWithoutRowsKeepsRowZero)
{
    TestImage image(30, 40, 0, kBlack);
    // SY - EY = 17: no row at all.
    EXPECT_EQ(scan(image, window(0, 27, 10, 10)), std::vector<float>(7, 0.0f));
    // SY - EY = 18: the single row EY + 3.
    TestImage one(30, 40);
    one.row(12, kBlack);
    one.row(14, kBlack);
    one.set(3, 13, kBlack);
    one.set(5, 13, grey(3));
    EXPECT_EQ(scan(one, window(0, 28, 10, 10)), (std::vector<float>{0, 13, 13, 13, 13, 13, 13}));
}

TEST_P(ColumnScan, OutsideThePictureCountsAs255)
{
    // 10 x 12 picture with black row padding that must never be read. Window
    // columns -4 .. 14 and rows -5 .. 15 reach out on all four sides.
    TestImage image(10, 12, 2);
    image.set(0, 2, kBlack);
    image.set(3, 11, grey(50));
    image.set(9, 4, kBlack);
    const std::vector<float> rows = scan(image, window(-6, 30, 16, -8));
    const std::vector<float> expected{0, 0, 0, 0, 2, 2, 2, 11, 11, 11, 11, 11, 11, 4, 4, 4, 4, 4, 4};
    EXPECT_EQ(rows, expected);
}

TEST_P(ColumnScan, WindowEntirelyOutsideThePicture)
{
    TestImage image(10, 12, 2, kBlack);
    EXPECT_EQ(scan(image, window(20, 30, 30, 0)), std::vector<float>(7, 0.0f));    // right of it
    EXPECT_EQ(scan(image, window(-20, 30, -5, 0)), std::vector<float>(12, 0.0f));  // left of it
    EXPECT_EQ(scan(image, window(0, 60, 8, 20)), std::vector<float>(5, 0.0f));     // below it
    EXPECT_EQ(scan(image, window(0, -1, 8, -40)), std::vector<float>(5, 0.0f));    // above it
}

TEST_P(ColumnScan, EmptyViewReadsAs255)
{
    EXPECT_EQ(scan(PixelView{}, window(0, 35, 14, 0)), std::vector<float>(11, 0.0f));
}

TEST_P(ColumnScan, FractionalPositionsReadThePixelTheyFallIn)
{
    TestImage image(10, 30);
    image.set(2, 3, kBlack);
    image.set(4, 10, kBlack);
    image.set(5, 11, kBlack);  // pixel row 11 is position 11.5, past the last row 10.5
    image.set(6, 2, kBlack);   // pixel row 2 is position 2.5, before the first row 3.5
    // Columns 2.5 .. 6.5, rows 3.5 .. 10.5.
    const std::vector<float> rows = scan(image, window(0.5f, 25.5f, 8.5f, 0.5f));
    EXPECT_EQ(rows, (std::vector<float>{3.5f, 3.5f, 10.5f, 10.5f, 10.5f}));
}

TEST_P(ColumnScan, NegativeFractionalPositionsAreOutside)
{
    // Columns -1.5, -0.5, 0.5, 1.5, 2.5 and rows -0.5 .. 5.5: the positions
    // -0.5 lie outside the picture, although they truncate to pixel 0.
    TestImage image(10, 10);
    image.set(0, 0, kBlack);
    image.set(0, 3, grey(9));
    const std::vector<float> rows = scan(image, window(-3.5f, 20.5f, 4.5f, -3.5f));
    EXPECT_EQ(rows, (std::vector<float>{0, 0, 0.5f, 0.5f, 0.5f}));
}

TEST_P(ColumnScan, StrideLargerThanWidth)
{
    TestImage image(5, 25, 7);
    for (int x = 0; x < 5; ++x) image.set(x, 20 - 3 * x, kBlack);
    // Columns 0 .. 7, three of them past the right edge.
    const std::vector<float> rows = scan(image, window(-2, 40, 9, -3));
    EXPECT_EQ(rows, (std::vector<float>{20, 17, 14, 11, 8, 8, 8, 8}));
}

INSTANTIATE_TEST_SUITE_P(BothScans, ColumnScan,
                         ::testing::Values(ScanImpl{"RowMajor", &scanColumns},
                                           ScanImpl{"PerPixel", &scanColumnsPerPixel}),
                         [](const ::testing::TestParamInfo<ScanImpl>& info) { return std::string(info.param.name); });

// The production scan keeps a packed row index per column and folds very tall
// pictures in bands; a picture taller than one band checks the merge.
TEST(ColumnScanRowMajor, PictureTallerThanOneBand)
{
    constexpr int kBand = 1 << 23;
    const int height = kBand + 16;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(height), kWhite);
    const PixelView view{pixels.data(), 1, height, 1};
    const References refs = window(-2, static_cast<float>(height - 1 + 15), 2, -3);  // column 0, all rows

    pixels[kBand + 5] = kBlack;
    EXPECT_EQ(scanColumns(view, refs), std::vector<float>{static_cast<float>(kBand + 5)});

    pixels[100] = grey(10);  // lighter, in the first band: the second band is darker
    EXPECT_EQ(scanColumns(view, refs), std::vector<float>{static_cast<float>(kBand + 5)});

    pixels[kBand + 5] = grey(10);  // equally dark: the first band is higher
    EXPECT_EQ(scanColumns(view, refs), std::vector<float>{100.0f});

    pixels[100] = kWhite;
    pixels[kBand - 1] = grey(10);  // last row of the first band against the second band
    EXPECT_EQ(scanColumns(view, refs), std::vector<float>{static_cast<float>(kBand - 1)});

    pixels[kBand - 1] = kWhite;
    pixels[kBand + 15] = grey(9);  // the last row of the picture
    EXPECT_EQ(scanColumns(view, refs), std::vector<float>{static_cast<float>(kBand + 15)});
}

}  // namespace
}  // namespace vastrel::digitize
