#include "engine/text/TypedNumber.h"

#include <gtest/gtest.h>

#include <cmath>

using vastrel::text::readTypedNumber;
using vastrel::text::typedNumber;

namespace {

struct TypedCase {
    const char* typed;  // UTF-8
    double value;
    const char* unread;  // what is left after the number, UTF-8
};

void PrintTo(const TypedCase& c, std::ostream* os)
{
    *os << '"' << c.typed << '"';
}

class TypedNumber : public testing::TestWithParam<TypedCase> {};

TEST_P(TypedNumber, ReadsWhatTheTextShows)
{
    const auto reading = readTypedNumber(QString::fromUtf8(GetParam().typed));
    EXPECT_EQ(reading.value, GetParam().value);
    EXPECT_EQ(reading.unread.toStdString(), GetParam().unread);
}

// What the boxes have always read stays as it was.
INSTANTIATE_TEST_SUITE_P(AsBefore, TypedNumber,
                         testing::Values(TypedCase{"12abc", 12, "abc"}, TypedCase{"abc", 0, "abc"},
                                         TypedCase{"", 0, ""}, TypedCase{" 1 e 2 ", 100, ""}, TypedCase{"7,5", 7, ",5"},
                                         TypedCase{"&HFF", 255, ""}, TypedCase{"-2.5E-1", -0.25, ""},
                                         TypedCase{"1e", 1, "e"}, TypedCase{"８", 8, ""}, TypedCase{"０.01", 0.01, ""},
                                         TypedCase{"－40", -40, ""}, TypedCase{"１ｅ３", 1000, ""},
                                         TypedCase{"&Ｈｆｆ", 255, ""}, TypedCase{"1\u00a0000", 1000, ""},
                                         TypedCase{"\u3000５", 5, ""}, TypedCase{"10^", 10, "^"},
                                         TypedCase{"10\x12", 10, "\x12"}, TypedCase{"3\x1c", 3, "\x1c"}));

// The minus of PDFs and plotting programs' labels, and the dashes used as one.
INSTANTIATE_TEST_SUITE_P(MinusSigns, TypedNumber,
                         testing::Values(TypedCase{"−40", -40, ""}, TypedCase{"‐1.5", -1.5, ""},
                                         TypedCase{"–3", -3, ""}, TypedCase{"1e−3", 0.001, ""},
                                         TypedCase{"10^−2", 0.01, ""}, TypedCase{"−−1", 0, "−−1"}));

// Powers as papers print them, never digits glued to the number.
INSTANTIATE_TEST_SUITE_P(Powers, TypedNumber,
                         testing::Values(TypedCase{"10⁵", 1e5, ""}, TypedCase{"10³", 1000, ""}, TypedCase{"2²", 4, ""},
                                         TypedCase{"10⁻³", 0.001, ""}, TypedCase{"10⁺²", 100, ""},
                                         TypedCase{"10^5", 1e5, ""}, TypedCase{"2^-1", 0.5, ""},
                                         TypedCase{"1×10⁵", 1e5, ""}, TypedCase{"2.5x10^-3", 0.0025, ""},
                                         TypedCase{"3·10⁴ Hz", 3e4, "Hz"}, TypedCase{"−1.5 × 10 ⁻ ⁶", -1.5e-6, ""},
                                         TypedCase{"-10²", -100, ""}, TypedCase{"1e3²", 1000, "²"},
                                         TypedCase{"1x10", 1, "x10"}, TypedCase{"2×3", 2, "×3"},
                                         TypedCase{"10⁻", 10, "⁻"}));

// Fractions are values; circled, subscript and other marked digits are not digits.
INSTANTIATE_TEST_SUITE_P(OtherMarkedDigits, TypedNumber,
                         testing::Values(TypedCase{"½", 0.5, ""}, TypedCase{"1½", 1.5, ""}, TypedCase{"-2¾", -2.75, ""},
                                         TypedCase{"1.5½", 1.5, "½"}, TypedCase{"①", 0, "①"}, TypedCase{"1①", 1, "①"},
                                         TypedCase{"H₂0", 0, "H₂0"}, TypedCase{"2₁", 2, "₁"}, TypedCase{"⒈5", 0, "⒈5"},
                                         TypedCase{"𝟏𝟎", 10, ""}));

TEST(TypedNumberLimits, HugePowersSaturateWithoutOverflow)
{
    EXPECT_EQ(typedNumber(QStringLiteral("10^99999999999")), INFINITY);
    EXPECT_EQ(typedNumber(QStringLiteral("10^-99999999999")), 0.0);
    EXPECT_EQ(typedNumber(QStringLiteral("1×10^400")), INFINITY);
}

}  // namespace
