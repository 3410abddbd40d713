#pragma once
// A command's options read with QCommandLineParser, the way this program has
// always read them: a long option only after "--" and a short one only after
// "-", a value after "=" or as the next argument whatever it starts with,
// "--" ending the options, and every use kept in the order given.

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <span>
#include <vector>

namespace vastrel::cli {

struct OptionName {
    QLatin1StringView longName;   // without its dashes
    QLatin1StringView shortName;  // one letter, or empty when there is none
    bool takesValue = true;
};

struct OptionUse {
    std::size_t option = 0;  // its place among the options read
    QString value;           // empty for an option that takes none
};

// What ended the reading before the last argument, if anything.
enum class ReadingStop {
    None,
    Help,           // --help or -h where an option can stand
    LoneDash,       // "-" where a file name would be, even after "--"
    UnknownOption,  // a name that is none of the options
    MissingValue,   // the last argument is an option that takes a value
    UnwantedValue,  // "=" after an option that takes none
};

struct ReadArguments {
    std::vector<OptionUse> uses;  // the uses before the stop, in the order given
    QStringList operands;         // the other arguments before the stop, in order
    ReadingStop stop = ReadingStop::None;
    QString stopName;            // an unknown option as written, up to any "="
    std::size_t stopOption = 0;  // the option with a missing or unwanted value
};

// `arguments` are those after the command word.
ReadArguments readOptions(std::span<const OptionName> options, const QStringList& arguments);

}  // namespace vastrel::cli
