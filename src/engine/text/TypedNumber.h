#pragma once
// The number a user typed into a text box, or copied there from a paper.

#include <QString>

namespace vastrel::text {

struct TypedReading {
    double value = 0.0;
    // The characters after the number (blanks among the number included in
    // it); empty when the whole text made the number.
    QString unread;
};

// Reads the leading number of the text as leadingNumber does, taking what
// people copy from papers and type with a Japanese input method as what it
// shows:
//  - full-width digits, signs and letters as their ASCII forms;
//  - the minus sign U+2212 and the other dashes used as one as "-";
//  - a power written with superscripts or "^": 10⁵, 2^10, 10⁻³, 10^-3;
//  - a power of ten after a multiplication sign: 1×10⁵, 2.5x10^-3, 3·10⁴;
//  - a vulgar fraction after whole digits or alone: 1½, ¾.
// No other superscript, subscript, circled or fraction character is ever
// read as a digit: the number ends before it.
TypedReading readTypedNumber(const QString& text);

inline double typedNumber(const QString& text)
{
    return readTypedNumber(text).value;
}

}  // namespace vastrel::text
