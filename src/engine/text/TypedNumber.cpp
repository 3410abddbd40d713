#include "engine/text/TypedNumber.h"

#include "engine/text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace vastrel::text {

namespace {

// Bytes that stand for characters the ASCII number cannot hold; none of them
// continues a number, so leadingNumber stops at each.
constexpr char kStop = '\x01';
constexpr char kSuperDigit = '\x10';  // + the digit's value
constexpr char kSuperPlus = '\x1A';
constexpr char kSuperMinus = '\x1B';
constexpr char kFraction = '\x1C';

// A power's exponent beyond this gives zero or infinity all the same.
constexpr int kExponentLimit = 100'000;

bool isSuperDigit(char c)
{
    return c >= kSuperDigit && c < kSuperDigit + 10;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int superscriptDigit(char32_t c)
{
    switch (c) {
    case 0x2070: return 0;
    case 0x00B9: return 1;
    case 0x00B2: return 2;
    case 0x00B3: return 3;
    default: return (c >= 0x2074 && c <= 0x2079) ? int(c - 0x2070) : -1;
    }
}

bool isMinusLike(char32_t c)
{
    // Minus sign, hyphen, non-breaking hyphen, figure dash, en dash, small and
    // full-width hyphen-minus, heavy minus sign.
    return c == 0x2212 || (c >= 0x2010 && c <= 0x2013) || c == 0xFE63 || c == 0xFF0D || c == 0x2796;
}

bool isTimesSign(char32_t c)
{
    return c == 0x00D7 || c == 0x00B7 || c == 0x22C5 || c == 0x2219;
}

bool isBlank(char32_t c)
{
    // What the ASCII reading skips, and the spaces that stand for a blank.
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0x3000 || c == 0x00A0 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F;
}

// The value of a vulgar fraction character from its decomposition "1⁄2".
double fractionValue(char32_t c)
{
    const QString parts = QChar::decomposition(c);
    const qsizetype slash = parts.indexOf(QChar(0x2044));
    if (slash <= 0) return std::nan("");
    bool numeratorOk = false, denominatorOk = false;
    const double numerator = parts.left(slash).toInt(&numeratorOk);
    const double denominator = parts.mid(slash + 1).toInt(&denominatorOk);
    return numeratorOk && denominatorOk && denominator != 0 ? numerator / denominator : std::nan("");
}

// The typed text as ASCII for the number's reading: blanks dropped, every
// other character one byte, and for each byte where its character ends in
// the text and what a fraction is worth.
struct PlainText {
    std::string bytes;
    std::vector<qsizetype> ends;
    std::vector<double> fractions;

    void add(char byte, qsizetype end, double fraction = 0.0)
    {
        bytes.push_back(byte);
        ends.push_back(end);
        fractions.push_back(fraction);
    }
};

void addCharacter(PlainText& plain, char32_t c, qsizetype end)
{
    if (isBlank(c)) return;
    // Control characters stop the number, and never pass for the bytes that
    // stand for superscripts and fractions here.
    if (c < 0x20 || c == 0x7F) return plain.add(kStop, end);
    if (c < 0x80) return plain.add(static_cast<char>(c), end);
    if (const int digit = superscriptDigit(c); digit >= 0) return plain.add(char(kSuperDigit + digit), end);
    if (c == 0x207A) return plain.add(kSuperPlus, end);
    if (c == 0x207B) return plain.add(kSuperMinus, end);
    if (isMinusLike(c)) return plain.add('-', end);
    if (isTimesSign(c)) return plain.add('*', end);
    switch (QChar::decompositionTag(c)) {
    case QChar::Fraction: {
        const double value = fractionValue(c);
        return plain.add(std::isnan(value) ? kStop : kFraction, end, value);
    }
    // Full-width, half-width, small and styled forms of ASCII characters
    // read as those; superscripts, subscripts, circled digits and the like
    // never do.
    case QChar::Wide:
    case QChar::Narrow:
    case QChar::Small:
    case QChar::Font:
    case QChar::NoBreak:
    case QChar::Compat: {
        const QString ascii = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KC);
        if (ascii.size() == 1 && ascii[0].unicode() < 0x80) return addCharacter(plain, ascii[0].unicode(), end);
        return plain.add(kStop, end);
    }
    default: return plain.add(kStop, end);
    }
}

PlainText plainTextOf(const QString& text)
{
    PlainText plain;
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype next = i + 1;
        if (text[i].isHighSurrogate() && next < text.size() && text[next].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[next]);
            ++next;
        }
        addCharacter(plain, c, next);
        i = next;
    }
    return plain;
}

struct Power {
    int exponent = 0;
    std::size_t end = 0;
};

// An exponent at `at`: superscript digits with an optional superscript sign,
// or "^" with an optional sign and digits.
std::optional<Power> powerAt(const std::string& s, std::size_t at)
{
    const bool superscript = at < s.size() && (isSuperDigit(s[at]) || s[at] == kSuperPlus || s[at] == kSuperMinus);
    if (!superscript && !(at < s.size() && s[at] == '^')) return std::nullopt;
    std::size_t p = superscript ? at : at + 1;
    bool negative = false;
    if (p < s.size() && (superscript ? (s[p] == kSuperPlus || s[p] == kSuperMinus) : (s[p] == '+' || s[p] == '-'))) {
        negative = s[p] == kSuperMinus || s[p] == '-';
        ++p;
    }
    const std::size_t digits = p;
    int exponent = 0;
    for (; p < s.size() && (superscript ? isSuperDigit(s[p]) : isDigit(s[p])); ++p)
        exponent = std::min(exponent * 10 + (s[p] - (superscript ? kSuperDigit : '0')), kExponentLimit);
    if (p == digits) return std::nullopt;
    return Power{negative ? -exponent : exponent, p};
}

// `mantissa` (ASCII, no exponent of its own) times ten to `exponent`, as
// correctly rounded as if it had been typed with an E.
double timesPowerOfTen(const std::string& mantissa, int exponent)
{
    return leadingNumber(mantissa + "e" + std::to_string(exponent));
}

// The sign stays outside the power, as in print: -10² is -100.
double raised(double value, int exponent)
{
    const bool negative = std::signbit(value);
    // Ten to a power as exactly as "1e-3" reads; other bases as pow gives them.
    if (std::fabs(value) == 10.0) return timesPowerOfTen(negative ? "-1" : "1", exponent);
    const double magnitude = std::pow(std::fabs(value), exponent);
    return negative ? -magnitude : magnitude;
}

}  // namespace

TypedReading readTypedNumber(const QString& text)
{
    const PlainText plain = plainTextOf(text);
    const std::string& s = plain.bytes;
    const LeadingNumber number = readLeadingNumber(s);
    double value = number.value;
    std::size_t end = number.length;

    if (number.decimal && !number.exponent) {
        const std::string mantissa = s.substr(0, end);
        if (const auto power = powerAt(s, end)) {
            value = raised(value, power->exponent);
            end = power->end;
        } else if (end + 2 < s.size() && (s[end] == '*' || s[end] == 'x' || s[end] == 'X') && s[end + 1] == '1' &&
                   s[end + 2] == '0') {
            if (const auto tenPower = powerAt(s, end + 3)) {
                value = timesPowerOfTen(mantissa, tenPower->exponent);
                end = tenPower->end;
            }
        } else if (number.integer && end < s.size() && s[end] == kFraction) {
            const double fraction = plain.fractions[end];
            value = mantissa[0] == '-' ? value - fraction : value + fraction;
            ++end;
        }
    } else if (number.length == 0) {
        // A fraction alone, maybe signed: "½", "-¾".
        const std::size_t sign = !s.empty() && (s[0] == '-' || s[0] == '+') ? 1 : 0;
        if (sign < s.size() && s[sign] == kFraction) {
            value = s[0] == '-' ? -plain.fractions[sign] : plain.fractions[sign];
            end = sign + 1;
        }
    }

    TypedReading reading;
    reading.value = value;
    const qsizetype readUpTo = end == 0 ? 0 : plain.ends[end - 1];
    reading.unread = end < s.size() ? text.mid(readUpTo).trimmed() : QString();
    return reading;
}

}  // namespace vastrel::text
