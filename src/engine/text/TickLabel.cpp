#include "engine/text/TickLabel.h"

#include "engine/text/TypedNumber.h"

#include <QRegularExpression>

#include <cmath>

namespace vastrel::text {

namespace {

// Separators of thousands that plotting programs and locales print.
const QString kGroupSeparators = QStringLiteral(",' \u2009\u202F\u00A0\u2019");

bool isGroupSeparator(QChar c)
{
    return kGroupSeparators.contains(c);
}

// "12,345,678" and "−1 000.5": groups of three after one to three digits,
// every separator the same.
bool hasThousandGroups(const QString& digits, QChar separator)
{
    static const QRegularExpression grouped(QStringLiteral("^[-+\u2212]?\\d{1,3}(?:S\\d{3})+(?:\\.\\d+)?$"));
    QString pattern = grouped.pattern();
    pattern.replace(QLatin1Char('S'), QRegularExpression::escape(QString(separator)));
    return QRegularExpression(pattern).match(digits).hasMatch();
}

QString withoutGroups(QString text, CommaUse commas)
{
    if (commas == CommaUse::Decimal) {
        // 1.234,5 and 1 234,5: the period or blank groups, the comma is the point.
        for (QChar separator : {QChar('.'), QChar(' '), QChar(0x2009), QChar(0x202F), QChar(0x00A0)}) {
            const qsizetype comma = text.indexOf(QLatin1Char(','));
            const QString whole = comma < 0 ? text : text.left(comma);
            if (hasThousandGroups(whole, separator)) {
                text = whole.split(separator).join(QString()) + (comma < 0 ? QString() : text.mid(comma));
                break;
            }
        }
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        return text;
    }
    for (QChar separator : kGroupSeparators) {
        if (text.contains(separator) && hasThousandGroups(text, separator)) return text.split(separator).join(QString());
    }
    return text;
}

}  // namespace

CommaUse commaUseOf(const QStringList& labels)
{
    static const QRegularExpression decimalComma(QStringLiteral("(?:^[-+\u2212]?0,\\d|\\d,(?:\\d{1,2}|\\d{4,})(?:\\D|$))"));
    for (const QString& label : labels) {
        if (decimalComma.match(label.trimmed()).hasMatch()) return CommaUse::Decimal;
    }
    return CommaUse::Thousands;
}

std::optional<double> readTickLabel(const QString& text, CommaUse commas)
{
    QString label = text.trimmed();
    // "50 %" is the value 50 on an axis in percent.
    if (label.endsWith(QLatin1Char('%')) || label.endsWith(QChar(0xFF05))) {
        label.chop(1);
        label = label.trimmed();
    }
    if (label.isEmpty()) return std::nullopt;
    // The typed reading's &H, &O and D exponents are no printed label's: an
    // O or a 0 misread as D would make one of "103".
    static const QRegularExpression typedOnly(QStringLiteral("[&DdHhOo]"));
    if (label.contains(typedOnly)) return std::nullopt;
    // A blank inside a label only ever separates thousands; elsewhere it
    // parts two labels read as one.
    label = withoutGroups(label, commas);
    for (QChar c : label) {
        if (c.isSpace() || isGroupSeparator(c)) return std::nullopt;
    }
    // OCR reads the times sign of 1×10³ as a letter x more often than not.
    static const QRegularExpression letterTimes(QStringLiteral("(\\d)[xX](10)"));
    label.replace(letterTimes, QStringLiteral("\\1\u00D7\\2"));
    const TypedReading reading = readTypedNumber(label);
    if (!reading.unread.trimmed().isEmpty() || !std::isfinite(reading.value)) return std::nullopt;
    // A text without a digit reads 0 and is no label.
    if (!label.contains(QRegularExpression(QStringLiteral("\\d")))) return std::nullopt;
    return reading.value;
}

}  // namespace vastrel::text
