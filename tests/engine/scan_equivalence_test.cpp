// The production column scan against the per-pixel reference on random
// pictures and random windows, many of them reaching out of the picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TestImage.h"
#include "engine/digitize/ColumnScan.h"
#include "engine/digitize/ColumnScanReference.h"

namespace vastrel::digitize {
namespace {

using namespace vastrel::digitize::testing;

// Only the raw output of mt19937 is fixed by the standard, so the cases are
// the same with every standard library.
class Random {
public:
    explicit Random(std::uint32_t seed) : engine_(seed) {}
    std::uint32_t bits() { return static_cast<std::uint32_t>(engine_()); }
    int between(int lo, int hi) { return lo + static_cast<int>(bits() % static_cast<std::uint32_t>(hi - lo + 1)); }
    bool chance(int percent) { return between(0, 99) < percent; }

private:
    std::mt19937 engine_;
};

// A green value drawn so that ties, the boundary 254 / 255 and plain noise all
// occur often.
std::uint32_t randomGreen(Random& rnd)
{
    static constexpr std::uint32_t kLevels[] = {0, 1, 127, 128, 254, 255, 255, 255};
    if (rnd.chance(20)) return rnd.bits() & 0xFFu;
    return kLevels[rnd.bits() % 8];
}

std::uint32_t randomColour(Random& rnd)
{
    const std::uint32_t others = rnd.bits() & 0xFFFF00FFu;  // alpha, red, blue
    return others | randomGreen(rnd) << 8;
}

void paint(TestImage& image, Random& rnd)
{
    const int w = image.width(), h = image.height();
    switch (rnd.between(0, 2)) {
    case 0:  // noise everywhere
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) image.set(x, y, randomColour(rnd));
        break;
    case 1:  // white with a few dark pixels: long carries and rare ties
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (rnd.chance(3)) image.set(x, y, randomColour(rnd));
        break;
    default: {  // grid lines and a curve with gaps
        for (int k = rnd.between(0, 4); k > 0; --k) image.row(rnd.between(0, h - 1), grey(rnd.between(100, 255)));
        for (int k = rnd.between(0, 4); k > 0; --k) image.column(rnd.between(0, w - 1), grey(rnd.between(100, 255)));
        int y = rnd.between(0, h - 1);
        for (int x = 0; x < w; ++x) {
            y = std::min(h - 1, std::max(0, y + rnd.between(-2, 2)));
            if (!rnd.chance(15)) image.set(x, y, rnd.chance(50) ? kBlack : grey(rnd.between(0, 90)));
        }
        break;
    }
    }
}

float randomFraction(Random& rnd)
{
    static constexpr float kFractions[] = {0.25f, 0.5f, 0.75f};
    return rnd.chance(75) ? 0.0f : kFractions[rnd.bits() % 3];
}

std::string describe(int iteration, const TestImage& image, const References& r)
{
    std::ostringstream out;
    out << "case " << iteration << ": picture " << image.width() << " x " << image.height() << " stride "
        << image.stride() << ", start (" << r.startX << ", " << r.startY << "), end (" << r.endX << ", " << r.endY
        << ")";
    return out.str();
}

TEST(ColumnScanEquivalence, RandomPicturesAndWindows)
{
    Random rnd(20240607u);
    int columnsCompared = 0, partlyOutside = 0;
    for (int iteration = 0; iteration < 500; ++iteration) {
        const int w = rnd.between(1, 100), h = rnd.between(1, 60);
        TestImage image(w, h, rnd.chance(50) ? rnd.between(1, 5) : 0);
        paint(image, rnd);

        References r;
        r.startX = static_cast<float>(rnd.between(-15, w + 5)) + randomFraction(rnd);
        r.endX = r.startX + static_cast<float>(rnd.between(-3, w + 25)) + randomFraction(rnd);
        r.endY = static_cast<float>(rnd.between(-25, h + 5)) + randomFraction(rnd);
        r.startY = r.endY + static_cast<float>(rnd.between(-3, h + 40)) + randomFraction(rnd);

        SCOPED_TRACE(describe(iteration, image, r));
        const std::vector<float> expected = scanColumnsPerPixel(image.view(), r);
        const std::vector<float> actual = scanColumns(image.view(), r);
        ASSERT_EQ(actual, expected);
        columnsCompared += static_cast<int>(expected.size());
        partlyOutside += (r.startX + 2 < 0 || r.endX - 2 >= static_cast<float>(w) || r.endY + 3 < 0 ||
                          r.startY - 15 >= static_cast<float>(h));
    }
    // The cases must really exercise the scan.
    EXPECT_GT(columnsCompared, 10000);
    EXPECT_GT(partlyOutside, 100);
}

TEST(ColumnScanEquivalence, FullWidthRuns)
{
    // The widest run, 1000 columns, over pictures wider and narrower than it.
    Random rnd(77u);
    for (int iteration = 0; iteration < 6; ++iteration) {
        const int w = iteration % 2 == 0 ? 1004 : rnd.between(900, 1003);
        const int h = rnd.between(20, 40);
        TestImage image(w, h, iteration % 3);
        paint(image, rnd);
        References r;
        r.startX = static_cast<float>(rnd.between(-2, 2));
        r.endX = r.startX + 1003.0f;
        r.endY = static_cast<float>(rnd.between(-4, 2));
        r.startY = static_cast<float>(h + rnd.between(-2, 14));
        SCOPED_TRACE(describe(iteration, image, r));
        const std::vector<float> expected = scanColumnsPerPixel(image.view(), r);
        ASSERT_EQ(expected.size(), 1000u);
        ASSERT_EQ(scanColumns(image.view(), r), expected);
    }
}

}  // namespace
}  // namespace vastrel::digitize
