#pragma once
// Number and date text of the program, independent of the user's locale:
// what is typed is read with a period as the decimal point, and what is
// written uses a period, whatever LC_NUMERIC says.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vastrel::text {

// The longest leading number of `text`: blanks, tabs and line feeds anywhere
// are skipped, then an optional sign, digits with an optional period and an
// optional exponent (E or D, optional sign, digits). "&H" / "&O" prefixes read
// hexadecimal / octal digits. Text that does not begin with a number reads 0.
double leadingNumber(std::string_view text);

// What leadingNumber read from a text that holds no blanks: the value and how
// many bytes the number took, for readers that go on after it.
struct LeadingNumber {
    double value = 0.0;
    std::size_t length = 0;  // 0 when the text does not begin with a number
    bool decimal = false;    // digits in decimal, not &H / &O
    bool integer = false;    // decimal digits only: no period and no exponent
    bool exponent = false;   // ended by an exponent part
};
LeadingNumber readLeadingNumber(std::string_view blankFreeText);

// "0.000E+00": sign only when negative, one digit, three decimals (half away
// from zero), E, an always-signed exponent of at least two digits.
std::string scientificText(double value);

// The default text of a single-precision number: shortest decimal form with at
// most 7 significant digits, no decimal point for whole values ("245", "-5",
// "0.5", "1E+07").
std::string singleText(float value);

// The default text of a double-precision number (at most 15 significant digits).
std::string doubleText(double value);

// Upper-case hexadecimal digits without leading zeros; negatives as the eight
// digits of their 32-bit two's complement.
std::string hexText(std::int32_t value);

// mm-dd-yyyy, for example 12-06-2026.
std::string dateText(int year, int month, int day);

}  // namespace vastrel::text
