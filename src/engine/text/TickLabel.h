#pragma once
// The value printed at a tick mark, from the text OCR read off the picture.
// Plotting programs print numbers in more ways than people type them:
// thousands separated by commas, thin spaces or apostrophes, a decimal
// comma, a percent sign, powers of ten as 1e3, 1×10³, 10³ or 10^3.

#include <optional>

#include <QString>
#include <QStringList>

namespace vastrel::text {

// What a comma between digits is on one axis: labels such as "0,5" or
// "2,25" show that the axis writes a decimal comma; otherwise "1,000" is a
// thousand.
enum class CommaUse { Thousands, Decimal };

// The comma use the labels of one axis show: Decimal as soon as one of them
// has a comma followed by other than three digits, or a comma after a lone 0.
CommaUse commaUseOf(const QStringList& labels);

// The value of a tick label, or nothing when the text is not a whole number:
// text before or after it (an axis title, a unit) or a stray character makes
// the label unread rather than misread.
std::optional<double> readTickLabel(const QString& text, CommaUse commas = CommaUse::Thousands);

}  // namespace vastrel::text
