// Options read through QCommandLineParser as the command has always read
// them: in the order given, the first mistake named, and the forms the
// parser alone would take ("-start", "--o", "-j3") refused.

#include "cli/DigitizeArguments.h"
#include "cli/OptionReading.h"

#include <gtest/gtest.h>

using namespace vastrel::cli;

namespace {

const OptionName kOptions[] = {
    {QLatin1StringView("name"), {}},
    {QLatin1StringView("bee"), QLatin1StringView("b")},
    {QLatin1StringView("flag"), {}, false},
};

using Uses = std::vector<std::pair<std::size_t, QString>>;

Uses usesOf(const ReadArguments& read)
{
    Uses uses;
    for (const OptionUse& use : read.uses) uses.emplace_back(use.option, use.value);
    return uses;
}

TEST(OptionReading, EveryUseInTheOrderGivenAmongTheOperands)
{
    const ReadArguments read = readOptions(kOptions, {"x", "--bee=1", "--name", "-b", "--flag", "y", "-b", "--",
                                                      "--flag", "--", "--name=", "-b=", "--name", "z"});
    EXPECT_EQ(read.stop, ReadingStop::None);
    // A value is the next argument whatever it is, even "--"; "--" after an
    // option's value ends the options.
    EXPECT_EQ(usesOf(read), Uses({{1, "1"}, {0, "-b"}, {2, ""}, {1, "--"}, {2, ""}}));
    EXPECT_EQ(read.operands, QStringList({"x", "y", "--name=", "-b=", "--name", "z"}));
}

TEST(OptionReading, StopsAtTheFirstArgumentReadOtherwise)
{
    const struct {
        QStringList arguments;
        ReadingStop stop;
        const char* name;  // for an unknown option
        std::size_t option;
    } cases[] = {
        // The parser alone takes a long name after one dash and a short one after two.
        {{"--name", "v", "-bee", "1"}, ReadingStop::UnknownOption, "-bee", 0},
        {{"--name", "v", "--b", "1"}, ReadingStop::UnknownOption, "--b", 0},
        {{"--name", "v", "-b1"}, ReadingStop::UnknownOption, "-b1", 0},
        {{"--name", "v", "--=x"}, ReadingStop::UnknownOption, "--", 0},
        {{"--name", "v", "-="}, ReadingStop::UnknownOption, "-", 0},
        {{"--name", "v", "--help=yes"}, ReadingStop::UnknownOption, "--help", 0},
        {{"--name", "v", "-h", "--nothing"}, ReadingStop::Help, "", 0},
        {{"--name", "v", "--", "a", "-"}, ReadingStop::LoneDash, "", 0},
        {{"--name", "v", "--flag=1"}, ReadingStop::UnwantedValue, "", 2},
        {{"--name", "v", "-b"}, ReadingStop::MissingValue, "", 1},
    };
    for (const auto& c : cases) {
        const ReadArguments read = readOptions(kOptions, c.arguments);
        const std::string shown = c.arguments.join(' ').toStdString();
        EXPECT_EQ(read.stop, c.stop) << shown;
        EXPECT_EQ(read.stopName, QLatin1String(c.name)) << shown;
        if (c.stop == ReadingStop::MissingValue || c.stop == ReadingStop::UnwantedValue) {
            EXPECT_EQ(read.stopOption, c.option) << shown;
        }
        // What came before the stop was read; nothing after it.
        EXPECT_EQ(usesOf(read), Uses({{0, "v"}})) << shown;
    }
}

// All but --x2, which every case is given first.
const QStringList kCalibration = {"--start", "62,398", "--end", "541,37", "--x1", "0", "--y1", "0", "--y2", "100"};

QString mistakeIn(const QStringList& arguments)
{
    auto result = parseDigitizeArguments(QStringList{"a.png", "--x2", "10"} + arguments);
    if (std::holds_alternative<HelpWanted>(result)) return QStringLiteral("help");
    return std::holds_alternative<ArgumentError>(result) ? std::get<ArgumentError>(result).message : QString();
}

TEST(DigitizeArgumentOrder, TheFirstMistakeInTheOrderGivenIsNamed)
{
    const QStringList jobs{"--jobs", "0"};
    const QString badJobs = "--jobs needs a whole number from 1 to 256, not \"0\"";
    const QString stdinMistake = "images cannot be read from standard input; name the files";
    EXPECT_EQ(mistakeIn(jobs + QStringList{"--bogus"}), badJobs);
    EXPECT_EQ(mistakeIn(QStringList{"--bogus"} + jobs), "unknown option --bogus");
    EXPECT_EQ(mistakeIn(jobs + QStringList{"-"}), badJobs);
    EXPECT_EQ(mistakeIn(QStringList{"-"} + jobs), stdinMistake);
    EXPECT_EQ(mistakeIn(jobs + QStringList{"--help"}), badJobs);
    EXPECT_EQ(mistakeIn(QStringList{"--help"} + jobs), "help");
    EXPECT_EQ(mistakeIn(QStringList{"--start", "1,2", "--start"}), "--start is given twice");
    EXPECT_EQ(mistakeIn(QStringList{"--frame-corners", "--frame-corners=1"}), "--frame-corners is given twice");
    EXPECT_EQ(mistakeIn(QStringList{"--start", "1,2"} + kCalibration), "--start is given twice");
    // The value of a second use is not read before it is refused.
    EXPECT_EQ(mistakeIn(kCalibration.mid(0, 4) + QStringList{"--start", "x"}), "--start is given twice");
    // All is read before what is missing is told.
    EXPECT_EQ(mistakeIn(kCalibration.mid(0, 8) + QStringList{"--mode", "x"}),
              "--mode must be one of linear-linear, linear-log, log-log, log-linear, not \"x\"");
    EXPECT_EQ(mistakeIn(kCalibration.mid(0, 8)), "missing --y2");

    for (const char* form : {"-start", "--o", "-j3", "-output", "--j"})
        EXPECT_EQ(mistakeIn(QStringList{form, "1"}), QStringLiteral("unknown option %1").arg(form)) << form;
}

}  // namespace
