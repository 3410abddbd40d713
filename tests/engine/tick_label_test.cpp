// Tick labels as OCR hands them over: every way plotting programs print a
// number reads its value, and anything else reads nothing, since a label
// misread would shift the axis while one unread is only left out; and the
// small signs OCR drops, put back from the label's strokes.

#include "engine/axes/LabelStrokes.h"
#include "engine/text/TickLabel.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

namespace vastrel::text {
namespace {

std::optional<double> read(const char* utf8, CommaUse commas = CommaUse::Thousands)
{
    return readTickLabel(QString::fromUtf8(utf8), commas);
}

void expectRead(CommaUse commas, std::initializer_list<std::pair<const char*, double>> cases)
{
    for (const auto& [text, value] : cases) {
        const std::optional<double> got = read(text, commas);
        ASSERT_TRUE(got.has_value()) << '"' << text << '"';
        EXPECT_DOUBLE_EQ(*got, value) << '"' << text << '"';
    }
}

// Refused whatever the axis's commas are.
void expectRefused(std::initializer_list<const char*> texts)
{
    for (const char* text : texts) {
        EXPECT_EQ(read(text), std::nullopt) << '"' << text << '"';
        EXPECT_EQ(read(text, CommaUse::Decimal), std::nullopt) << '"' << text << '"';
    }
}

TEST(TickLabel, ReadsEveryPrintedForm)
{
    // A table: each group of forms on a line or two.
    // clang-format off
    // Plain numbers, with either minus.
    expectRead(CommaUse::Thousands, {{"0", 0}, {"250", 250}, {"0.25", 0.25}, {"-3", -3}, {"-0.5", -0.5},
                                     {"\u22122.5", -2.5}, {"+4", 4}, {" 12 ", 12}});
    // Decimal commas, and periods or blanks grouping the whole part then.
    expectRead(CommaUse::Decimal, {{"0,5", 0.5}, {"2,25", 2.25}, {"\u22120,75", -0.75}, {"3", 3}, {"1.234,5", 1234.5},
                                   {"12 000,5", 12000.5}});
    // Thousands apart.
    expectRead(CommaUse::Thousands, {{"1,000", 1000}, {"12,345,678", 12345678}, {"1,000.5", 1000.5},
                                     {"\u22121,000", -1000}, {"12 000", 12000}, {"10\u2009000", 10000},
                                     {"10\u202F000", 10000}, {"1'000", 1000}, {"1\u2019000", 1000},
                                     {"1 000 000", 1e6}});
    // Powers of ten.
    expectRead(CommaUse::Thousands, {{"1e3", 1000}, {"1E-3", 0.001}, {"1e+03", 1000}, {"2.5e-2", 0.025},
                                     {"1\u00D710\u00B3", 1000}, {"2x10^-3", 0.002}, {"5X10^2", 500},
                                     {"3\u00B710\u2074", 30000}, {"10\u00B3", 1000}, {"10^3", 1000},
                                     {"10\u207B\u00B2", 0.01}, {"10^-2", 0.01}, {"\u221210\u00B2", -100}});
    // Percent.
    expectRead(CommaUse::Thousands, {{"50%", 50}, {"50 %", 50}, {"12.5\uFF05", 12.5}});
    // clang-format on
}

TEST(TickLabel, CommaUseDecidedByTheWholeAxis)
{
    EXPECT_EQ(commaUseOf({"0", "0,5", "1", "1,5"}), CommaUse::Decimal);
    EXPECT_EQ(commaUseOf({"2", "2,25", "2,5"}), CommaUse::Decimal);
    EXPECT_EQ(commaUseOf({"10,0000"}), CommaUse::Decimal);
    EXPECT_EQ(commaUseOf({"\u22120,000"}), CommaUse::Decimal);  // a lone 0 is never grouped
    EXPECT_EQ(commaUseOf({"0", "1,000", "2,000", "12,345,678"}), CommaUse::Thousands);
    EXPECT_EQ(commaUseOf({"0", "0.5", "1e3"}), CommaUse::Thousands);
    EXPECT_EQ(commaUseOf({}), CommaUse::Thousands);

    // One text, two axes: the comma is what the axis's other labels make it.
    EXPECT_EQ(read("1,000", CommaUse::Decimal), 1.0);
    EXPECT_EQ(read("1,000", CommaUse::Thousands), 1000.0);
    // A decimal comma on an axis taken as grouping thousands is unread, not 5.
    EXPECT_EQ(read("0,5"), std::nullopt);
    EXPECT_EQ(read("1,5"), std::nullopt);
    EXPECT_EQ(read("1.000,5"), std::nullopt);
    EXPECT_EQ(read("1,000.5", CommaUse::Decimal), std::nullopt);
}

TEST(TickLabel, RefusesWhatIsNoWholeNumber)
{
    expectRefused({"", " ", "-", "\u2212", "x", "%", "abc", "1.2.3", "12 V", "12V", "V 12", "(5)", "5-", "1-2", "--5"});
    // Groups that are not thousands, or mixed separators: two labels run together.
    expectRefused({"1,00,0", "10,000,0", "1,000 000", "1 2", "12 34", "1\t000"});
    // A power cut short by OCR would read as another number.
    expectRefused({"1e", "1e+", "10^", "1x10", "1\u00D710", "x10", "\u00B2", "1e3.5"});
    // Hexadecimal, octal and D-exponent forms are for typed numbers: on a
    // tick they are OCR mistaking a 0 or O, and must not read as 16 or 1000.
    expectRefused({"&H10", "&O17", "1D3", "1d3"});
}

}  // namespace
}  // namespace vastrel::text

namespace vastrel::axes {
namespace {

// A label 9 px high of blocks: 'd' a digit's stroke, '-' a raised-centre
// minus, '.' a point on the line, each with a blank column after it.
LabelPicture strokes(const std::string& shape)
{
    LabelPicture p{int(shape.size()) * 5 + 2, 11, {}};
    p.ink.assign(std::size_t(p.width * p.height), 0);
    int x = 1;
    for (char c : shape) {
        const int w = c == '.' ? 2 : 4, top = c == 'd' ? 1 : c == '-' ? 5 : 8, bottom = c == '-' ? 5 : 9;
        for (int y = top; y <= bottom; ++y)
            for (int dx = 0; dx < w; ++dx) p.ink[std::size_t(y * p.width + x + dx)] = 255;
        x += w + 1;
    }
    return p;
}

// OCR drops the small signs of small print, and sometimes a digit: a sign
// goes back where one stroke each leaves it no doubt; a text missing a
// printed character is no number at all.
TEST(TickLabelStrokes, DroppedSignsPutBackDroppedDigitsUnread)
{
    EXPECT_EQ(withSmallSigns("02", strokes("d.d")), "0.2");
    EXPECT_EQ(withSmallSigns("40", strokes("-dd")), "-40");
    EXPECT_EQ(withSmallSigns("-40", strokes("-dd")), "-40");
    EXPECT_EQ(withSmallSigns("2", strokes("d.d")), "");
    EXPECT_EQ(withSmallSigns("2", strokes("dd")), "");
    EXPECT_EQ(withSmallSigns("20", strokes("dd.d")), "");
    EXPECT_EQ(withSmallSigns("1000", strokes("dd")), "1000");  // digits touching in small print
    EXPECT_EQ(withSmallSigns("025", strokes("ddd")), "0.25");  // no zero leads a tick label's digits
}

}  // namespace
}  // namespace vastrel::axes
