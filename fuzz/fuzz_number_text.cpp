// Arbitrary bytes for the leading-number parse, and the number forms of the
// parsed value and of raw doubles and floats, all under a decimal-comma locale.

#include "PropertyCheck.h"
#include "engine/text/NumberText.h"
#include "engine/text/TypedNumber.h"

#include <QString>

#include <locale.h>

#include <algorithm>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale>
#include <string>
#include <string_view>

namespace numbers = vastrel::text;
using vastrel::fuzz::escaped;
using vastrel::fuzz::propertyBroken;

namespace {

locale_t cLocale = nullptr;

// The C library's own conversions, which serve as the reference here, need the
// "C" locale while the code under test runs with a decimal comma.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(cLocale)) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_;
};

std::string exactText(long double value)
{
    const CLocaleScope scope;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
    return buffer;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitIn(char c, int base)
{
    int digit = -1;
    if (isDigit(c)) digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    return digit < base ? digit : -1;
}

struct Expected {
    long double value = 0;
    bool exact = true;  // false only for radix numbers beyond 2^53, which can only be close
};

Expected expectedRadixNumber(std::string_view digits, int base)
{
    std::uint64_t whole = 0;
    long double approximate = 0;
    bool fits = true;
    for (const char c : digits) {
        const int digit = digitIn(c, base);
        if (digit < 0) break;
        if (whole > (std::numeric_limits<std::uint64_t>::max() - std::uint64_t(digit)) / std::uint64_t(base))
            fits = false;
        else
            whole = whole * std::uint64_t(base) + std::uint64_t(digit);
        approximate = approximate * base + digit;
    }
    if (fits && whole <= (std::uint64_t{1} << 53)) return {static_cast<long double>(whole), true};
    return {approximate, false};
}

// What the parse has to read, worked out apart from it: the grammar by hand,
// the value by strtod, which rounds correctly.
Expected expectedNumber(std::string_view text)
{
    std::string kept;
    for (const char c : text)
        if (!isBlank(c)) kept += c;
    if (kept.size() >= 2 && kept[0] == '&') {
        if (kept[1] == 'H' || kept[1] == 'h') return expectedRadixNumber(std::string_view(kept).substr(2), 16);
        if (kept[1] == 'O' || kept[1] == 'o') return expectedRadixNumber(std::string_view(kept).substr(2), 8);
    }
    std::string number;
    std::size_t pos = 0;
    bool hasDigits = false;
    if (pos < kept.size() && (kept[pos] == '+' || kept[pos] == '-')) number += kept[pos++];
    for (; pos < kept.size() && isDigit(kept[pos]); ++pos, hasDigits = true) number += kept[pos];
    if (pos < kept.size() && kept[pos] == '.') {
        number += kept[pos++];
        for (; pos < kept.size() && isDigit(kept[pos]); ++pos, hasDigits = true) number += kept[pos];
    }
    if (!hasDigits) return {};
    if (pos < kept.size() && std::strchr("EeDd", kept[pos]) != nullptr && kept[pos] != '\0') {
        std::size_t end = pos + 1;
        std::string exponent = "e";
        if (end < kept.size() && (kept[end] == '+' || kept[end] == '-')) exponent += kept[end++];
        const std::size_t firstDigit = end;
        for (; end < kept.size() && isDigit(kept[end]); ++end) exponent += kept[end];
        if (end > firstDigit) number += exponent;
    }
    return {static_cast<long double>(strtod_l(number.c_str(), nullptr, cLocale)), true};
}

void checkParse(std::string_view text, double parsed)
{
    const Expected expected = expectedNumber(text);
    const std::string detail =
        "text \"" + escaped(text) + "\" read " + exactText(parsed) + ", expected " + exactText(expected.value);
    if (expected.exact) {
        if (!(parsed == expected.value)) propertyBroken("leadingNumber reads the longest leading number", detail);
        return;
    }
    const bool beyondDoubles = expected.value > static_cast<long double>(DBL_MAX);
    const bool close = std::fabs(parsed - expected.value) <= std::fabs(expected.value) * 1e-12L;
    if (!(std::isinf(parsed) ? beyondDoubles : close))
        propertyBroken("leadingNumber reads long radix numbers closely", detail);
}

// The distance to the next double of the larger magnitude: what re-reading a
// text may add to its own rounding.
long double ulpOfLarger(double a, double b)
{
    const double larger = std::fmax(std::fabs(a), std::fabs(b));
    return static_cast<long double>(std::nextafter(larger, HUGE_VAL)) - larger;
}

// Rounding the largest doubles to fewer digits can name a value beyond them,
// which then rightly reads as infinite.
bool namesBeyondDoubles(const std::string& text)
{
    return std::fabs(strtold_l(text.c_str(), nullptr, cLocale)) > static_cast<long double>(DBL_MAX);
}

bool digitsOnly(std::string_view text)
{
    if (text.empty()) return false;
    for (const char c : text)
        if (!isDigit(c)) return false;
    return true;
}

void checkScientific(double value)
{
    const std::string text = numbers::scientificText(value);
    const std::string detail = "value " + exactText(value) + " written \"" + escaped(text) + "\"";
    {
        const CLocaleScope scope;
        if (numbers::scientificText(value) != text) propertyBroken("scientificText ignores the locale", detail);
    }
    if (!std::isfinite(value)) return;

    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view body = std::string_view(text).substr(negative ? 1 : 0);
    const bool shaped = body.size() >= 9 && isDigit(body[0]) && body[1] == '.' && digitsOnly(body.substr(2, 3)) &&
                        body[5] == 'E' && (body[6] == '+' || body[6] == '-') && digitsOnly(body.substr(7)) &&
                        (body.size() == 9 || body[7] != '0');
    if (!shaped) propertyBroken("scientificText has the shape -d.dddE+dd", detail);
    if (negative != (value < 0)) propertyBroken("scientificText signs exactly the negative values", detail);
    if ((body[0] == '0') != (value == 0)) propertyBroken("scientificText leads with 1 to 9 unless zero", detail);
    if (value == 0 && text != "0.000E+00") propertyBroken("scientificText writes zero as 0.000E+00", detail);

    const double back = numbers::leadingNumber(text);
    if (std::isinf(back)) {
        if (!namesBeyondDoubles(text)) propertyBroken("scientificText re-reads as a finite value", detail);
        return;
    }
    const int exponent = std::atoi(text.c_str() + (negative ? 7 : 6));
    const long double unit = std::pow(10.0L, exponent - 3);
    // Half a unit of the fourth digit, plus the rounding to 15 digits that
    // comes first, plus what re-reading rounds.
    const long double allowed = unit / 2 + unit * 1e-11L + ulpOfLarger(back, value);
    if (!(std::fabs(static_cast<long double>(back) - value) <= allowed))
        propertyBroken("scientificText is within half a unit of its fourth digit", detail + " read " + exactText(back));
    if (numbers::scientificText(back) != text)
        propertyBroken("scientificText of its own re-read value is the same", detail);
}

// Whether some text of `digits` significant digits reads back as `value`.
template <typename Real>
bool hasTextOf(Real value, int digits)
{
    const CLocaleScope scope;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, static_cast<double>(value));
    if constexpr (sizeof(Real) == sizeof(float))
        return std::strtof(buffer, nullptr) == value;
    else
        return std::strtod(buffer, nullptr) == value;
}

// The default text of a float or double: -?digits[.digits][E±dd], no
// trailing fraction zeros, at most `maxDigits` significant digits, and the
// power of ten written only outside [1E-4, 10^maxDigits).
template <typename Real>
void checkGeneral(Real value, int maxDigits, std::string (*format)(Real), const char* name)
{
    const std::string text = format(value);
    const std::string detail = std::string(name) + " of " + exactText(value) + " wrote \"" + escaped(text) + "\"";
    {
        const CLocaleScope scope;
        if (format(value) != text) propertyBroken("the default number text ignores the locale", detail);
    }
    if (!std::isfinite(value)) return;

    const bool negative = !text.empty() && text[0] == '-';
    if (negative != (value < 0)) propertyBroken("the default number text signs exactly the negative values", detail);
    std::string_view rest = std::string_view(text).substr(negative ? 1 : 0);
    const std::size_t markerAt = rest.find('E');
    const std::string_view mantissa = rest.substr(0, markerAt);
    const std::size_t periodAt = mantissa.find('.');
    const std::string_view integerPart = mantissa.substr(0, periodAt);
    const std::string_view fraction =
        periodAt == std::string_view::npos ? std::string_view() : mantissa.substr(periodAt + 1);
    const bool fractionShaped = periodAt == std::string_view::npos || (digitsOnly(fraction) && fraction.back() != '0');
    const bool integerShaped = digitsOnly(integerPart) && (integerPart.size() == 1 || integerPart[0] != '0');
    if (!fractionShaped || !integerShaped) propertyBroken("the default number text is -digits[.digits]", detail);

    int decimalExponent = 0;  // power of ten of the first significant digit
    std::size_t significant = 0;
    if (markerAt != std::string_view::npos) {
        const std::string_view exponentText = rest.substr(markerAt + 1);
        const bool exponentShaped = exponentText.size() >= 3 && (exponentText[0] == '+' || exponentText[0] == '-') &&
                                    digitsOnly(exponentText.substr(1)) &&
                                    (exponentText.size() == 3 || exponentText[1] != '0');
        if (!exponentShaped || integerPart.size() != 1 || integerPart[0] == '0')
            propertyBroken("the default number text writes d[.ddd]E±dd", detail);
        decimalExponent = std::atoi(std::string(exponentText).c_str());
        if (decimalExponent >= -4 && decimalExponent < maxDigits)
            propertyBroken("the default number text uses E only for very small or large values", detail);
        significant = 1 + fraction.size();
    } else if (integerPart != "0") {
        decimalExponent = static_cast<int>(integerPart.size()) - 1;
        significant = integerPart.size() + fraction.size();
    } else {
        const std::size_t zeros = fraction.find_first_not_of('0');
        decimalExponent = zeros == std::string_view::npos ? 0 : -static_cast<int>(zeros) - 1;
        significant = zeros == std::string_view::npos ? 1 : fraction.size() - zeros;
        if (decimalExponent < -4) propertyBroken("the default number text writes tiny values with E", detail);
    }
    if (significant > std::size_t(maxDigits)) propertyBroken("the default number text keeps its digit limit", detail);
    const bool whole = std::trunc(value) == value && std::fabs(value) < std::pow(10.0L, maxDigits);
    if (whole && (markerAt != std::string_view::npos || periodAt != std::string_view::npos))
        propertyBroken("the default number text writes whole values without point or E", detail);

    const double back = numbers::leadingNumber(text);
    if (std::isinf(back)) {
        if (!namesBeyondDoubles(text)) propertyBroken("the default number text re-reads as a finite value", detail);
        return;
    }
    if (hasTextOf(value, maxDigits)) {
        if (!(static_cast<Real>(back) == value))
            propertyBroken("the default number text re-reads as the same value", detail + " read " + exactText(back));
        return;
    }
    const long double unit = std::pow(10.0L, decimalExponent - (maxDigits - 1));
    if (!(std::fabs(static_cast<long double>(back) - value) <=
          unit / 2 + ulpOfLarger(back, static_cast<double>(value))))
        propertyBroken("the default number text is within half a unit of its last digit",
                       detail + " read " + exactText(back));
}

// What a box reads of the same bytes as UTF-8: ASCII text without the signs
// of a power reads as leadingNumber reads it, and what is left unread is the
// end of the text.
void checkTyped(std::string_view bytes, double parsed)
{
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const auto reading = numbers::readTypedNumber(text);
    if (!text.trimmed().endsWith(reading.unread))
        propertyBroken("readTypedNumber leaves the end of the text unread", escaped(bytes));
    const bool plainAscii = std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '^' && c != '*' && c != 'x' && c != 'X';
    });
    if (plainAscii && std::memcmp(&reading.value, &parsed, sizeof parsed) != 0 && !(reading.value == parsed))
        propertyBroken("readTypedNumber reads ASCII as leadingNumber does", escaped(bytes));
}

void checkForms(double value)
{
    checkScientific(value);
    checkGeneral<double>(value, 15, numbers::doubleText, "doubleText");
    checkGeneral<float>(static_cast<float>(value), 7, numbers::singleText, "singleText");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    // Everything under test runs with a decimal comma, for C and C++ alike.
    constexpr const char* comma = "de_DE.UTF-8";
    if (cLocale == nullptr || std::setlocale(LC_ALL, comma) == nullptr) {
        std::fprintf(stderr, "the locale %s is missing (scripts/install-deps.sh makes it)\n", comma);
        std::abort();
    }
    std::locale::global(std::locale(comma));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double parsed = numbers::leadingNumber(text);
    checkParse(text, parsed);
    checkTyped(text, parsed);
    checkForms(parsed);

    // The same bytes as raw values reach NaNs, infinities and subnormals.
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkForms(raw);
    }
    if (size >= sizeof(float)) {
        float raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkGeneral<float>(raw, 7, numbers::singleText, "singleText");
        checkScientific(raw);
    }
    return 0;
}
