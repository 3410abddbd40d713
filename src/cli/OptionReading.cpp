#include "cli/OptionReading.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <optional>

namespace vastrel::cli {

namespace {

std::optional<std::size_t> optionWritten(std::span<const OptionName> options, const QString& name)
{
    for (std::size_t i = 0; i < options.size(); ++i) {
        const OptionName& option = options[i];
        if (name.size() == option.longName.size() + 2 && name.startsWith(QLatin1String("--")) &&
            name.mid(2) == option.longName)
            return i;
        if (!option.shortName.isEmpty() && name.size() == option.shortName.size() + 1 &&
            name.startsWith(QLatin1Char('-')) && name.mid(1) == option.shortName)
            return i;
    }
    return std::nullopt;
}

// The option the parser found under `name`, which it gives without dashes.
std::size_t optionFound(std::span<const OptionName> options, const QString& name)
{
    for (std::size_t i = 0; i < options.size(); ++i)
        if (name == options[i].longName || (!options[i].shortName.isEmpty() && name == options[i].shortName)) return i;
    Q_UNREACHABLE();
    return 0;
}

// How many leading arguments the parser reads as this program does; the
// stop, if any, is what comes next. The parser itself would also take
// "-start" for --start and "--o" for -o, and it reads to the end before it
// tells of a mistake, while the first mistake in the order given is the one
// to name.
qsizetype argumentsReadAlike(std::span<const OptionName> options, const QStringList& arguments, ReadArguments& read)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("-")) {
            read.stop = ReadingStop::LoneDash;
            return i;
        }
        if (optionsEnded || !argument.startsWith(QLatin1Char('-'))) continue;
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            read.stop = ReadingStop::Help;
            return i;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        const std::optional<std::size_t> option = optionWritten(options, name);
        if (!option) {
            read.stop = ReadingStop::UnknownOption;
            read.stopName = name;
            return i;
        }
        if (!options[*option].takesValue) {
            if (equals >= 0) {
                read.stop = ReadingStop::UnwantedValue;
                read.stopOption = *option;
                return i;
            }
        } else if (equals < 0) {
            if (i + 1 == arguments.size()) {
                read.stop = ReadingStop::MissingValue;
                read.stopOption = *option;
                return i;
            }
            ++i;
        }
    }
    return arguments.size();
}

}  // namespace

ReadArguments readOptions(std::span<const OptionName> options, const QStringList& arguments)
{
    ReadArguments read;
    const qsizetype alike = argumentsReadAlike(options, arguments, read);

    QCommandLineParser parser;
    // "-o=x" is -o with the value "x", never -o, -= and -x.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionName& option : options) {
        QStringList names;
        if (!option.shortName.isEmpty()) names.append(option.shortName);
        names.append(option.longName);
        QCommandLineOption declared(names);
        if (option.takesValue) declared.setValueName(QStringLiteral("value"));
        parser.addOption(declared);
    }
    // The parser skips the first argument as the program's name.
    const bool parsed = parser.parse(QStringList{QString()} + arguments.first(alike));
    Q_ASSERT(parsed);
    (void)parsed;

    read.operands = parser.positionalArguments();
    std::vector<qsizetype> taken(options.size(), 0);
    for (const QString& name : parser.optionNames()) {
        OptionUse use{optionFound(options, name), {}};
        const OptionName& option = options[use.option];
        if (option.takesValue) use.value = parser.values(option.longName).at(taken[use.option]++);
        read.uses.push_back(use);
    }
    return read;
}

}  // namespace vastrel::cli
