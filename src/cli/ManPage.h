#pragma once
// The manual page, written in the man macros from the text --help shows, so
// that the two can never tell different stories.

#include <QByteArray>
#include <QString>

namespace vastrel::cli {

struct ManPageTitle {
    QString program;  // the page's name, as in "vastrel-digitizer(1)"
    QString version;
    QString summary;  // the NAME line's words after the dash
};

// `help` is laid out as the help text is: the synopsis up to the first blank
// line, paragraphs from the left margin, headings ending in ":" over the
// options, each option two columns in, its words in a column of their own,
// and the examples' commands indented further. The page is ASCII: every
// other character is a groff escape.
QByteArray manPage(const QString& help, const ManPageTitle& title);

}  // namespace vastrel::cli
