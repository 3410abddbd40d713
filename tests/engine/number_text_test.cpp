#include "engine/text/NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale>
#include <random>
#include <string>
#include <utility>

using namespace vastrel::text;

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

template <typename Real>
Real readBack(const std::string& text)
{
    Real value{};
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

double randomFiniteDouble(std::mt19937_64& random)
{
    double value = inf;
    while (!std::isfinite(value)) {
        value = std::bit_cast<double>(random());
    }
    return value;
}

using ParseCase = std::pair<const char*, double>;

class LeadingNumber : public testing::TestWithParam<ParseCase> {};

TEST_P(LeadingNumber, ReadsTheLongestLeadingNumber)
{
    EXPECT_EQ(leadingNumber(GetParam().first), GetParam().second) << '"' << GetParam().first << '"';
}

INSTANTIATE_TEST_SUITE_P(Signs, LeadingNumber,
                         testing::Values(ParseCase{"1.5", 1.5}, ParseCase{"-1.5", -1.5}, ParseCase{"+2", 2},
                                         ParseCase{"--1", 0}, ParseCase{"+-1", 0}, ParseCase{"-", 0}, ParseCase{".", 0},
                                         ParseCase{"-.", 0}, ParseCase{".5", 0.5}, ParseCase{"-.5", -0.5},
                                         ParseCase{"007", 7}, ParseCase{"5.", 5}));
INSTANTIATE_TEST_SUITE_P(Exponents, LeadingNumber,
                         testing::Values(ParseCase{"1e3", 1000}, ParseCase{"1E-2", 0.01}, ParseCase{"2.5D2", 250},
                                         ParseCase{"1d+1", 10}, ParseCase{"1e", 1}, ParseCase{"1e+", 1},
                                         ParseCase{"1E-x", 1}, ParseCase{"e5", 0}, ParseCase{"0.0000012e6", 1.2}));
INSTANTIATE_TEST_SUITE_P(BlanksAndTrailers, LeadingNumber,
                         testing::Values(ParseCase{"1 2.5", 12.5}, ParseCase{" \t-3\r\n.25 ", -3.25},
                                         ParseCase{"1 e 2", 100}, ParseCase{"12abc", 12}, ParseCase{"abc", 0},
                                         ParseCase{"", 0}, ParseCase{" \t\r\n", 0}, ParseCase{"1,5", 1},
                                         ParseCase{"1.2.3", 1.2}, ParseCase{"inf", 0}, ParseCase{"nan", 0}));
INSTANTIATE_TEST_SUITE_P(HexAndOctal, LeadingNumber,
                         testing::Values(ParseCase{"&HFF", 255}, ParseCase{"&h0a", 10}, ParseCase{"& H 1 0", 16},
                                         ParseCase{"&HFFFFFFFF", 4294967295.0}, ParseCase{"&HG", 0}, ParseCase{"&H", 0},
                                         ParseCase{"&O17", 15}, ParseCase{"&o78", 7}, ParseCase{"&", 0},
                                         ParseCase{"-&H10", 0}));
INSTANTIATE_TEST_SUITE_P(OutOfRange, LeadingNumber,
                         testing::Values(ParseCase{"1e309", inf}, ParseCase{"-1e309", -inf},
                                         ParseCase{"1e99999999999999999999", inf}, ParseCase{"1e-400", 0},
                                         ParseCase{"4.9e-324", std::numeric_limits<double>::denorm_min()},
                                         ParseCase{"1.7976931348623157e308", std::numeric_limits<double>::max()}));

TEST(LeadingNumberLongText, KeepsThePointAcrossManyDigits)
{
    EXPECT_EQ(leadingNumber("1" + std::string(400, '0')), inf);
    EXPECT_EQ(leadingNumber("0." + std::string(500, '0') + "1e501"), 1.0);
    EXPECT_EQ(leadingNumber(std::string(500, '0') + "2.5"), 2.5);
}

TEST(LeadingNumberRoundTrip, ReadsEveryShortestDoubleTextBack)
{
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double value = randomFiniteDouble(random);
        char buffer[64];
        std::string text(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
        ASSERT_EQ(leadingNumber(text), value) << text;
        if (const auto e = text.find('e'); e != std::string::npos) {
            text[e] = 'D';
            ASSERT_EQ(leadingNumber(text), value) << text;
        }
    }
}

using TextCase = std::pair<double, const char*>;

class ScientificText : public testing::TestWithParam<TextCase> {};

TEST_P(ScientificText, WritesTheFixedForm)
{
    EXPECT_EQ(scientificText(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Examples, ScientificText,
                         testing::Values(TextCase{1234.56, "1.235E+03"}, TextCase{0.0012, "1.200E-03"},
                                         TextCase{-52.7, "-5.270E+01"}, TextCase{0.0, "0.000E+00"},
                                         TextCase{-0.0, "0.000E+00"}, TextCase{1, "1.000E+00"},
                                         TextCase{12.34, "1.234E+01"}, TextCase{0.05678, "5.678E-02"},
                                         TextCase{1e100, "1.000E+100"}, TextCase{5e-324, "4.941E-324"},
                                         TextCase{1.7976931348623157e308, "1.798E+308"}, TextCase{inf, "inf"},
                                         TextCase{-inf, "-inf"}, TextCase{std::nan(""), "nan"}));
INSTANTIATE_TEST_SUITE_P(RoundingAndCarry, ScientificText,
                         testing::Values(TextCase{9.9994, "9.999E+00"}, TextCase{9.9995, "1.000E+01"},
                                         TextCase{9.9996, "1.000E+01"}, TextCase{-9.9995, "-1.000E+01"},
                                         TextCase{1.0005, "1.001E+00"}, TextCase{-1.0005, "-1.001E+00"},
                                         TextCase{1.00049, "1.000E+00"}, TextCase{999.95, "1.000E+03"},
                                         TextCase{0.099995, "1.000E-01"}));

TEST(ScientificTextProperties, MatchesCorrectRoundingAwayFromTies)
{
    std::mt19937_64 random(11);
    for (int i = 0; i < 20000; ++i) {
        const double value = randomFiniteDouble(random);
        const std::string text = scientificText(value);
        char buffer[64];
        std::string reference(
            buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 3).ptr);
        reference[reference.find('e')] = 'E';
        if (text != reference) {
            // Only a value within a hair of the midpoint may round the other way.
            const double midpoint = (readBack<double>(text) + readBack<double>(reference)) / 2;
            ASSERT_NEAR(value, midpoint, std::fabs(value) * 1e-14) << text << " vs " << reference;
        }
    }
}

TEST(ScientificTextProperties, RoundsFiveDigitDecimalsHalfAwayFromZero)
{
    std::mt19937_64 random(13);
    std::uniform_int_distribution<int> mantissas(10000, 99999), exponents(-300, 300);
    for (int i = 0; i < 20000; ++i) {
        const int mantissa = mantissas(random);
        const int exponent = exponents(random);
        const std::string sign = i % 2 == 1 ? "-" : "";
        const double value = readBack<double>(sign + std::to_string(mantissa) + "e" + std::to_string(exponent));
        const int kept = (mantissa + 5) / 10;
        const bool carried = kept == 10000;
        const std::string digits = std::to_string(carried ? 1000 : kept);
        const int power = exponent + 4 + (carried ? 1 : 0);
        const std::string magnitude = std::to_string(std::abs(power));
        const std::string expected = sign + digits[0] + "." + digits.substr(1) + "E" + (power < 0 ? "-" : "+") +
                                     (magnitude.size() < 2 ? "0" : "") + magnitude;
        ASSERT_EQ(scientificText(value), expected) << mantissa << "e" << exponent;
    }
}

TEST(ShortTexts, Examples)
{
    EXPECT_EQ(singleText(245.0f), "245");
    EXPECT_EQ(singleText(-5.0f), "-5");
    EXPECT_EQ(singleText(0.5f), "0.5");
    EXPECT_EQ(singleText(123.25f), "123.25");
    EXPECT_EQ(singleText(-0.0f), "0");
    EXPECT_EQ(singleText(0.1f), "0.1");
    EXPECT_EQ(singleText(1.0f / 3), "0.3333333");
    EXPECT_EQ(singleText(0.0001f), "0.0001");
    EXPECT_EQ(singleText(1e-5f), "1E-05");
    EXPECT_EQ(singleText(9999999.0f), "9999999");
    EXPECT_EQ(singleText(1e7f), "1E+07");
    EXPECT_EQ(singleText(12345678.0f), "1.234568E+07");
    EXPECT_EQ(singleText(std::numeric_limits<float>::denorm_min()), "1E-45");
    EXPECT_EQ(singleText(-std::numeric_limits<float>::infinity()), "-inf");
    EXPECT_EQ(doubleText(0.1 + 0.2), "0.3");
    EXPECT_EQ(doubleText(-1.0 / 3), "-0.333333333333333");
    EXPECT_EQ(doubleText(123456789012345.0), "123456789012345");
    EXPECT_EQ(doubleText(1e15), "1E+15");
    EXPECT_EQ(doubleText(1e100), "1E+100");
    EXPECT_EQ(doubleText(std::numeric_limits<double>::max()), "1.79769313486232E+308");
}

// Values typed with at most `maxDigits` digits must come back exactly, with
// no trailing zero or period, positional only for magnitudes in [1e-4, 10^maxDigits).
template <typename Real>
void expectShortTextsRoundTrip(std::string (*write)(Real), int maxDigits, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<long long> mantissas(1, static_cast<long long>(std::pow(10.0, maxDigits)) - 1);
    std::uniform_int_distribution<int> exponents(-30 - maxDigits, 30);
    for (int i = 0; i < 20000; ++i) {
        const Real value = readBack<Real>(std::to_string(mantissas(random)) + "e" + std::to_string(exponents(random)));
        const std::string text = write(i % 2 == 0 ? value : -value);
        const Real back = std::fabs(readBack<Real>(text));
        ASSERT_EQ(back, value) << text;
        const std::size_t e = text.find('E');
        const std::string decimals = text.substr(0, e);
        ASSERT_FALSE(decimals.find('.') != std::string::npos && (decimals.back() == '0' || decimals.back() == '.'))
            << text;
        ASSERT_EQ(e == std::string::npos, back >= Real(1e-4) && back < std::pow(Real(10), maxDigits)) << text;
    }
}

TEST(ShortTexts, FloatsFromSevenDigitDecimalsRoundTrip)
{
    expectShortTextsRoundTrip<float>(singleText, 7, 17);
}

TEST(ShortTexts, DoublesFromFifteenDigitDecimalsRoundTrip)
{
    expectShortTextsRoundTrip<double>(doubleText, 15, 19);
}

TEST(HexText, WritesTwosComplementDigits)
{
    EXPECT_EQ(hexText(255), "FF");
    EXPECT_EQ(hexText(0), "0");
    EXPECT_EQ(hexText(-1), "FFFFFFFF");
    EXPECT_EQ(hexText(std::numeric_limits<std::int32_t>::min()), "80000000");
    EXPECT_EQ(hexText(0x00C0FFFF), "C0FFFF");
    std::mt19937 random(23);
    for (int i = 0; i < 1000; ++i) {
        const auto value = static_cast<std::int32_t>(random());
        ASSERT_EQ(leadingNumber("&H" + hexText(value)), static_cast<double>(static_cast<std::uint32_t>(value)));
    }
}

TEST(DateText, PadsMonthDayAndYear)
{
    EXPECT_EQ(dateText(2026, 12, 6), "12-06-2026");
    EXPECT_EQ(dateText(2026, 1, 31), "01-31-2026");
    EXPECT_EQ(dateText(999, 5, 7), "05-07-0999");
}

class DecimalCommaLocale : public testing::Test {
protected:
    void SetUp() override
    {
        const char* name = std::setlocale(LC_ALL, "de_DE.UTF-8");
        char printed[32];
        std::snprintf(printed, sizeof printed, "%.3E", 1.5);
        if (name == nullptr || std::string(printed) != "1,500E+00") {
            FAIL() << "the de_DE.UTF-8 locale is not in effect (printf wrote " << printed << ")";
        }
        std::locale::global(std::locale("de_DE.UTF-8"));
    }
    void TearDown() override
    {
        std::locale::global(std::locale::classic());
        std::setlocale(LC_ALL, "C");
    }
};

TEST_F(DecimalCommaLocale, KeepsThePeriod)
{
    EXPECT_EQ(leadingNumber("1.5"), 1.5);
    EXPECT_EQ(leadingNumber("1,5"), 1.0);
    EXPECT_EQ(leadingNumber("-2.5E-1"), -0.25);
    EXPECT_EQ(scientificText(1.5), "1.500E+00");
    EXPECT_EQ(scientificText(-1234.56), "-1.235E+03");
    EXPECT_EQ(singleText(123.25f), "123.25");
    EXPECT_EQ(singleText(1234567.0f), "1234567");
    EXPECT_EQ(doubleText(0.001), "0.001");
}

}  // namespace
