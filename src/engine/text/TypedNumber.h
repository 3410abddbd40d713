#pragma once
// The number a user typed into a text box.

#include "engine/text/NumberText.h"

#include <QString>

namespace vastrel::text {

// Full-width digits, signs and periods typed with a Japanese input method
// read like their ASCII forms; then the leading number is taken.
inline double typedNumber(const QString& text)
{
    return leadingNumber(text.normalized(QString::NormalizationForm_KC).toStdString());
}

}  // namespace vastrel::text
