#include "engine/text/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

// Every conversion here goes through std::from_chars / std::to_chars, which
// never consult the C locale, so a decimal-comma LC_NUMERIC changes nothing.

namespace vastrel::text {

namespace {

bool isSkippedBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string withoutBlanks(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char c : text) {
        if (!isSkippedBlank(c)) {
            kept.push_back(c);
        }
    }
    return kept;
}

// -1 when `c` is no digit of the given base (8 or 16).
int digitValue(char c, int base)
{
    int value = -1;
    if (isDecimalDigit(c)) {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// Accumulated in a double so that any number of digits is safe; exact up to
// 2^53. `length` is set to the number of digits taken.
double unsignedDigits(std::string_view digits, int base, std::size_t& length)
{
    double value = 0.0;
    length = 0;
    for (char c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0) {
            break;
        }
        value = value * base + digit;
        ++length;
    }
    return value;
}

// The exponent saturates far beyond the double range, so a long run of
// exponent digits cannot overflow the counter.
constexpr long long exponentLimit = 1'000'000'000;

struct DecimalParts {
    bool negative = false;
    std::string significant;      // digits without leading zeros, maybe empty
    long long pointPosition = 0;  // value = 0.<significant> * 10^pointPosition
    bool hasDigits = false;
    bool seenPeriod = false;
    bool hasExponent = false;
    std::size_t end = 0;  // where the number stopped
};

// Reads sign, digits, period and exponent; stops at the first character that
// cannot continue the number.
DecimalParts decimalParts(std::string_view text)
{
    DecimalParts parts;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        parts.negative = text[pos] == '-';
        ++pos;
    }
    long long integerDigits = 0;
    bool seenPeriod = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '.' && !seenPeriod) {
            seenPeriod = true;
            continue;
        }
        if (!isDecimalDigit(c)) {
            break;
        }
        parts.hasDigits = true;
        if (parts.significant.empty() && c == '0') {
            if (seenPeriod) {
                --parts.pointPosition;  // a leading fraction zero shifts the point
            }
            continue;
        }
        parts.significant.push_back(c);
        if (!seenPeriod) {
            ++integerDigits;
        }
    }
    parts.pointPosition += integerDigits;
    parts.seenPeriod = seenPeriod;
    parts.end = parts.hasDigits ? pos : 0;
    if (!parts.hasDigits || pos >= text.size()) {
        return parts;
    }

    const char marker = text[pos];
    if (marker != 'E' && marker != 'e' && marker != 'D' && marker != 'd') {
        return parts;
    }
    std::size_t expPos = pos + 1;
    bool negativeExponent = false;
    if (expPos < text.size() && (text[expPos] == '+' || text[expPos] == '-')) {
        negativeExponent = text[expPos] == '-';
        ++expPos;
    }
    long long exponent = 0;
    const std::size_t exponentDigits = expPos;
    for (; expPos < text.size() && isDecimalDigit(text[expPos]); ++expPos) {
        if (exponent < exponentLimit) {
            exponent = exponent * 10 + (text[expPos] - '0');
        }
    }
    // A marker without digits ("1e", "1e+") is no exponent and reads as nothing.
    if (expPos == exponentDigits) {
        return parts;
    }
    parts.hasExponent = true;
    parts.end = expPos;
    parts.pointPosition += negativeExponent ? -exponent : exponent;
    return parts;
}

double decimalValue(const DecimalParts& parts)
{
    const double signedZero = parts.negative ? -0.0 : 0.0;
    if (parts.significant.empty()) {
        return signedZero;
    }
    // Far outside the double range: answer without handing from_chars an
    // exponent it might not hold.
    constexpr long long outOfRange = 400;
    const double infinity = std::numeric_limits<double>::infinity();
    if (parts.pointPosition > outOfRange) {
        return parts.negative ? -infinity : infinity;
    }
    if (parts.pointPosition < -outOfRange) {
        return signedZero;
    }
    const std::string normalized = "0." + parts.significant + "e" + std::to_string(parts.pointPosition);
    double magnitude = 0.0;
    const auto [end, error] = std::from_chars(normalized.data(), normalized.data() + normalized.size(), magnitude);
    if (error == std::errc::result_out_of_range) {
        magnitude = parts.pointPosition > 0 ? infinity : 0.0;
    }
    return parts.negative ? -magnitude : magnitude;
}

std::string nonFiniteText(double value)
{
    if (std::isnan(value)) {
        return "nan";
    }
    return value < 0 ? "-inf" : "inf";
}

// Decimal digits, without leading zeros, of a non-negative integer.
std::string integerText(long long value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string zeroPadded(long long value, std::size_t width)
{
    std::string digits = integerText(value < 0 ? -value : value);
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

// "E+05", "E-12", "E+100".
std::string exponentText(int exponent)
{
    return std::string("E") + (exponent < 0 ? '-' : '+') + zeroPadded(exponent < 0 ? -exponent : exponent, 2);
}

// A non-negative finite value as significant digits d1 d2 ... and the power of
// ten of d1, from to_chars' scientific output "d.ddde+XX".
struct Significand {
    std::string digits;
    int exponent = 0;
};

Significand splitScientific(const char* first, const char* last)
{
    Significand result;
    const char* p = first;
    for (; p != last && *p != 'e'; ++p) {
        if (*p != '.') {
            result.digits.push_back(*p);
        }
    }
    if (p != last) {
        ++p;
        if (p != last && *p == '+') {
            ++p;  // from_chars takes a minus but no plus
        }
        std::from_chars(p, last, result.exponent);
    }
    return result;
}

template <typename Real>
Significand scientificDigits(Real magnitude, int precision)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, precision);
    return splitScientific(buffer, result.ptr);
}

// The shortest digits that read back as `magnitude`, rounded to `maxDigits`
// when the shortest form is longer.
template <typename Real>
Significand shortestDigits(Real magnitude, int maxDigits)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    Significand shortest = splitScientific(buffer, result.ptr);
    if (static_cast<int>(shortest.digits.size()) > maxDigits) {
        shortest = scientificDigits(magnitude, maxDigits - 1);
    }
    while (shortest.digits.size() > 1 && shortest.digits.back() == '0') {
        shortest.digits.pop_back();
    }
    return shortest;
}

// The %G layout without trailing zeros: positional while the exponent lies in
// [-4, maxDigits), otherwise one digit, the rest after a period, and "E±XX".
template <typename Real>
std::string generalText(Real value, int maxDigits)
{
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    const Significand s = shortestDigits(std::fabs(value), maxDigits);
    std::string text = value < 0 ? "-" : "";
    const auto digitCount = static_cast<int>(s.digits.size());
    if (s.exponent < -4 || s.exponent >= maxDigits) {
        text += s.digits.front();
        if (digitCount > 1) {
            text += '.';
            text.append(s.digits, 1);
        }
        return text + exponentText(s.exponent);
    }
    if (s.exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-s.exponent - 1), '0');
        return text + s.digits;
    }
    const int integerDigits = s.exponent + 1;
    if (digitCount <= integerDigits) {
        text += s.digits;
        text.append(static_cast<std::size_t>(integerDigits - digitCount), '0');
        return text;
    }
    text.append(s.digits, 0, static_cast<std::size_t>(integerDigits));
    text += '.';
    text.append(s.digits, static_cast<std::size_t>(integerDigits));
    return text;
}

}  // namespace

double leadingNumber(std::string_view text)
{
    return readLeadingNumber(withoutBlanks(text)).value;
}

LeadingNumber readLeadingNumber(std::string_view number)
{
    LeadingNumber reading;
    if (number.size() >= 2 && number[0] == '&') {
        const char radix = number[1];
        const int base = (radix == 'H' || radix == 'h') ? 16 : (radix == 'O' || radix == 'o') ? 8 : 0;
        if (base != 0) {
            std::size_t digits = 0;
            reading.value = unsignedDigits(number.substr(2), base, digits);
            reading.length = digits > 0 ? 2 + digits : 0;
            return reading;
        }
    }
    const DecimalParts parts = decimalParts(number);
    reading.value = decimalValue(parts);
    reading.length = parts.end;
    reading.decimal = parts.hasDigits;
    reading.integer = parts.hasDigits && !parts.seenPeriod && !parts.hasExponent;
    reading.exponent = parts.hasExponent;
    return reading;
}

// The value is first written with 15 significant digits, the decimal precision
// a double always preserves, and that digit string is rounded half away from
// zero. So 9.9995 and 1.0005 round up, as the typed decimals suggest, instead
// of down as their slightly smaller binary approximations would.
std::string scientificText(double value)
{
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    constexpr int keptDigits = 4;
    Significand s = scientificDigits(std::fabs(value), 14);
    std::string mantissa = s.digits.substr(0, keptDigits);
    if (s.digits[keptDigits] >= '5') {
        int pos = keptDigits - 1;
        while (pos >= 0 && mantissa[static_cast<std::size_t>(pos)] == '9') {
            mantissa[static_cast<std::size_t>(pos)] = '0';
            --pos;
        }
        if (pos >= 0) {
            ++mantissa[static_cast<std::size_t>(pos)];
        } else {
            mantissa = "1000";  // 9.9995 carries to the next power of ten
            ++s.exponent;
        }
    }
    std::string text = value < 0 ? "-" : "";
    text += mantissa.front();
    text += '.';
    text.append(mantissa, 1);
    return text + exponentText(s.exponent);
}

std::string singleText(float value)
{
    return generalText(value, 7);
}

std::string doubleText(double value)
{
    return generalText(value, 15);
}

std::string hexText(std::int32_t value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint32_t>(value), 16);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string dateText(int year, int month, int day)
{
    return zeroPadded(month, 2) + "-" + zeroPadded(day, 2) + "-" + zeroPadded(year, 4);
}

}  // namespace vastrel::text
