#include "cli/DigitizeArguments.h"

#include "cli/OptionReading.h"

#include "engine/image/DrawingArea.h"
#include "engine/image/Erasing.h"
#include "engine/text/NumberText.h"
#include "engine/text/TypedNumber.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <array>
#include <optional>

namespace vastrel::cli {

namespace {

using digitize::ScaleMode;

struct ModeName {
    QLatin1StringView name;
    ScaleMode mode;
};

// The X axis is named first, as in the windows' option buttons.
constexpr std::array kModeNames{
    ModeName{QLatin1StringView("linear-linear"), ScaleMode::LinearLinear},
    ModeName{QLatin1StringView("linear-log"), ScaleMode::LinearLog},
    ModeName{QLatin1StringView("log-log"), ScaleMode::LogLog},
    ModeName{QLatin1StringView("log-linear"), ScaleMode::LogLinear},
};

constexpr int kMaxJobs = 256;

// Whole numbers separated by commas, blanks allowed around them.
std::optional<std::vector<int>> wholeNumbers(const QString& text, int count)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?\\d{1,7})\\s*$"));
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count) return std::nullopt;
    std::vector<int> values;
    for (const QString& part : parts) {
        const QRegularExpressionMatch match = number.match(part);
        if (!match.hasMatch()) return std::nullopt;
        // Seven digits at most: far beyond any image, and exact in the single
        // precision the picks are held in.
        values.push_back(match.captured(1).toInt());
    }
    return values;
}

// Each returns what is wrong with the value, or nothing when it was taken.
using Reader = std::optional<QString> (*)(DigitizeRequest& request, const QString& value);

// A pick, or the pixel of a colour: somewhere a press on the image area can
// be, as in the windows.
std::optional<QString> readPoint(QPoint& into, const QString& value, const char* example)
{
    const auto numbers = wholeNumbers(value, 2);
    if (!numbers) return QStringLiteral("needs X,Y in whole pixels, like %1").arg(QLatin1StringView(example));
    const QPoint point((*numbers)[0], (*numbers)[1]);
    const QRect area(QPoint(0, 0), image::kDrawingAreaSize);
    if (!area.contains(point))
        return QStringLiteral("must lie on the image area, X from 0 to %1 and Y from 0 to %2")
            .arg(area.right())
            .arg(area.bottom());
    into = point;
    return std::nullopt;
}

// COL,ROW,X,Y: a pixel (fractions allowed) and its graph values, as plain
// numbers ("1.5", "-2", "1e3").
std::optional<QString> readReference(std::vector<digitize::ReferencePoint>& into, const QString& value)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    const QStringList parts = value.split(QLatin1Char(','));
    const auto wrong = QStringLiteral("needs COL,ROW,X,Y: the pixel and its graph values as plain numbers, like "
                                      "--ref 62.5,37,0,100");
    if (parts.size() != 4) return wrong;
    double numbers[4];
    for (int i = 0; i < 4; ++i) {
        if (!number.match(parts[i]).hasMatch()) return wrong;
        numbers[i] = text::leadingNumber(parts[i].toStdString());
        if (!std::isfinite(numbers[i])) return wrong;
    }
    const double lastColumn = image::kDrawingAreaSize.width() - 1, lastRow = image::kDrawingAreaSize.height() - 1;
    if (!(numbers[0] >= 0 && numbers[0] <= lastColumn && numbers[1] >= 0 && numbers[1] <= lastRow))
        return QStringLiteral("must lie on the image area, COL from 0 to %1 and ROW from 0 to %2")
            .arg(image::kDrawingAreaSize.width() - 1)
            .arg(image::kDrawingAreaSize.height() - 1);
    into.push_back({numbers[0], numbers[1], numbers[2], numbers[3]});
    return std::nullopt;
}

std::optional<QString> readText(QString& into, const QString& value)
{
    // The windows refuse to digitize while a coordinate box is empty.
    if (value.isEmpty()) return QStringLiteral("must not be empty (a blank reads as 0)");
    into = value;
    return std::nullopt;
}

struct Option {
    OptionName names;
    bool repeatable;
    Reader read;

    QString shown() const { return QLatin1String("--") + names.longName; }
};

std::optional<QString> readSeries(DigitizeRequest& request, SeriesRequest::Rule rule, const QString& value,
                                  const char* example)
{
    SeriesRequest series{rule, {}};
    if (auto what = readPoint(series.at, value, example)) return what;
    request.series.push_back(series);
    return std::nullopt;
}

constexpr QLatin1StringView kNoShortName;
// The first options, the two picks and their four texts, must all be given.
constexpr std::size_t kRequiredOptions = 6;

const std::array kOptions{
    Option{{QLatin1StringView("start"), kNoShortName},
           false,
           [](DigitizeRequest& r, const QString& v) { return readPoint(r.start, v, "--start 62,398"); }},
    Option{{QLatin1StringView("end"), kNoShortName},
           false,
           [](DigitizeRequest& r, const QString& v) { return readPoint(r.end, v, "--end 541,37"); }},
    Option{{QLatin1StringView("x1"), kNoShortName},
           false,
           [](DigitizeRequest& r, const QString& v) { return readText(r.x1, v); }},
    Option{{QLatin1StringView("y1"), kNoShortName},
           false,
           [](DigitizeRequest& r, const QString& v) { return readText(r.y1, v); }},
    Option{{QLatin1StringView("x2"), kNoShortName},
           false,
           [](DigitizeRequest& r, const QString& v) { return readText(r.x2, v); }},
    Option{{QLatin1StringView("y2"), kNoShortName},
           false,
           [](DigitizeRequest& r, const QString& v) { return readText(r.y2, v); }},
    Option{{QLatin1StringView("mode"), kNoShortName},
           false,
           [](DigitizeRequest& r, const QString& v) -> std::optional<QString> {
               for (const ModeName& known : kModeNames) {
                   if (v == known.name) {
                       r.mode = known.mode;
                       return std::nullopt;
                   }
               }
               return QStringLiteral("must be one of %1").arg(scaleModeNames().join(QStringLiteral(", ")));
           }},
    Option{{QLatin1StringView("output"), QLatin1StringView("o")},
           false,
           [](DigitizeRequest& r, const QString& v) -> std::optional<QString> {
               if (v.isEmpty()) return QStringLiteral("needs a file name, a folder or -");
               r.output = v;
               return std::nullopt;
           }},
    Option{{QLatin1StringView("jobs"), QLatin1StringView("j")},
           false,
           [](DigitizeRequest& r, const QString& v) -> std::optional<QString> {
               const auto numbers = wholeNumbers(v, 1);
               if (!numbers || (*numbers)[0] < 1 || (*numbers)[0] > kMaxJobs)
                   return QStringLiteral("needs a whole number from 1 to %1").arg(kMaxJobs);
               r.jobs = (*numbers)[0];
               return std::nullopt;
           }},
    Option{{QLatin1StringView("erase"), kNoShortName},
           true,
           [](DigitizeRequest& r, const QString& v) -> std::optional<QString> {
               const auto n = wholeNumbers(v, 4);
               if (!n) return QStringLiteral("needs X0,Y0,X1,Y1 in whole pixels, like --erase 400,40,560,90");
               r.erasures.push_back(image::rectangleBetween(QPoint((*n)[0], (*n)[1]), QPoint((*n)[2], (*n)[3])));
               return std::nullopt;
           }},
    Option{{QLatin1StringView("colour-at"), kNoShortName},
           true,
           [](DigitizeRequest& r, const QString& v) {
               return readSeries(r, SeriesRequest::Rule::Colour, v, "--colour-at 300,210");
           }},
    Option{{QLatin1StringView("markers"), kNoShortName},
           true,
           [](DigitizeRequest& r, const QString& v) {
               return readSeries(r, SeriesRequest::Rule::Markers, v, "--markers 300,210");
           }},
    Option{{QLatin1StringView("ref"), kNoShortName},
           true,
           [](DigitizeRequest& r, const QString& v) { return readReference(r.references, v); }},
    Option{{QLatin1StringView("frame-corners"), kNoShortName, false},
           false,
           [](DigitizeRequest& r, const QString&) -> std::optional<QString> {
               r.frameCorners = true;
               return std::nullopt;
           }},
    Option{{QLatin1StringView("auto-axes"), kNoShortName, false},
           false,
           [](DigitizeRequest& r, const QString&) -> std::optional<QString> {
               r.autoAxes = true;
               return std::nullopt;
           }},
    Option{{QLatin1StringView("project"), kNoShortName},
           false,
           [](DigitizeRequest& r, const QString& v) -> std::optional<QString> {
               if (v.isEmpty()) return QStringLiteral("needs a project file");
               r.project = v;
               return std::nullopt;
           }},
    Option{{QLatin1StringView("format"), kNoShortName},
           false,
           [](DigitizeRequest& r, const QString& v) -> std::optional<QString> {
               if (v == QLatin1String("csv"))
                   r.format = OutputFormat::Csv;
               else if (v == QLatin1String("json"))
                   r.format = OutputFormat::Json;
               else
                   return QStringLiteral("must be csv or json");
               return std::nullopt;
           }},
};

// With --project, only these may be given besides it: every other option sets
// what the project sets (references, erasures, series), and a project half
// overridden by one would give files no one could tell from the project's.
bool goesWithProject(const Option& option)
{
    for (const char* name : {"project", "format", "output", "jobs"})
        if (option.names.longName == QLatin1StringView(name)) return true;
    return false;
}

// With --auto-axes, the options that say what to find and where to write it;
// the picks, their texts, the mode and the reference points come from each
// image, and a project brings its own.
bool goesWithAutoAxes(const Option& option)
{
    for (const char* name : {"auto-axes", "colour-at", "markers", "erase", "format", "output", "jobs"})
        if (option.names.longName == QLatin1StringView(name)) return true;
    return false;
}

const std::array<OptionName, kOptions.size()>& optionNames()
{
    static const auto names = [] {
        std::array<OptionName, kOptions.size()> all;
        for (std::size_t i = 0; i < kOptions.size(); ++i) all[i] = kOptions[i].names;
        return all;
    }();
    return names;
}

ArgumentError wrongValue(const Option& option, const QString& value, const QString& what)
{
    return {QStringLiteral("%1 %2, not \"%3\"").arg(option.shown(), what, value)};
}

// The first mistake in the uses, in the order given; the request takes
// every value read.
std::optional<ArgumentError> takeUses(DigitizeRequest& request, const std::vector<OptionUse>& uses,
                                      std::vector<bool>& seen)
{
    for (const OptionUse& use : uses) {
        const Option& option = kOptions[use.option];
        if (!option.repeatable && seen[use.option])
            return ArgumentError{QStringLiteral("%1 is given twice").arg(option.shown())};
        seen[use.option] = true;
        if (const std::optional<QString> what = option.read(request, use.value))
            return wrongValue(option, use.value, *what);
    }
    return std::nullopt;
}

}  // namespace

namespace {

// A unit after the number ("12 V", "20 dB") is plainly no part of it; a text
// with no number at all, or a digit left unread ("7,5", "1①"), reads
// otherwise than it shows.
bool readsOtherwiseThanShown(const QString& typed, const QString& unread)
{
    if (unread.isEmpty()) return false;
    if (unread == typed.trimmed()) return true;
    return std::any_of(unread.begin(), unread.end(), [](QChar c) { return c.isNumber(); });
}

}  // namespace

QStringList readingWarnings(const DigitizeRequest& request)
{
    QStringList warnings;
    const std::array<std::pair<const char*, const QString*>, 4> texts{
        {{"--x1", &request.x1}, {"--y1", &request.y1}, {"--x2", &request.x2}, {"--y2", &request.y2}}};
    for (const auto& [option, typed] : texts) {
        const text::TypedReading reading = text::readTypedNumber(*typed);
        if (!readsOtherwiseThanShown(*typed, reading.unread)) continue;
        warnings.append(QStringLiteral("%1 \"%2\" reads as %3: \"%4\" is not part of the number")
                            .arg(QLatin1String(option), *typed, QString::fromStdString(text::doubleText(reading.value)),
                                 reading.unread));
    }
    return warnings;
}

QStringList scaleModeNames()
{
    QStringList names;
    for (const ModeName& known : kModeNames) names.append(known.name);
    return names;
}

std::variant<DigitizeRequest, ArgumentError, HelpWanted> parseDigitizeArguments(const QStringList& arguments)
{
    const ReadArguments read = readOptions(optionNames(), arguments);
    DigitizeRequest request;
    std::vector<bool> seen(kOptions.size(), false);
    // A mistake before the stop comes first, as the arguments are read in order.
    if (std::optional<ArgumentError> mistake = takeUses(request, read.uses, seen)) return *mistake;
    switch (read.stop) {
    case ReadingStop::None: break;
    case ReadingStop::Help: return HelpWanted{};
    case ReadingStop::LoneDash:
        return ArgumentError{QStringLiteral("images cannot be read from standard input; name the files")};
    case ReadingStop::UnknownOption: return ArgumentError{QStringLiteral("unknown option %1").arg(read.stopName)};
    case ReadingStop::MissingValue:
    case ReadingStop::UnwantedValue: {
        const Option& option = kOptions[read.stopOption];
        if (!option.repeatable && seen[read.stopOption])
            return ArgumentError{QStringLiteral("%1 is given twice").arg(option.shown())};
        const QString what = read.stop == ReadingStop::MissingValue ? QStringLiteral("%1 needs a value")
                                                                    : QStringLiteral("%1 takes no value");
        return ArgumentError{what.arg(option.shown())};
    }
    }
    request.images = read.operands;

    if (!request.project.isEmpty()) {
        for (const OptionUse& use : read.uses)
            if (!goesWithProject(kOptions[use.option]))
                return ArgumentError{
                    QStringLiteral(
                        "%1 cannot be given with --project: the project sets the references, erasures and series")
                        .arg(kOptions[use.option].shown())};
    }
    if (request.autoAxes) {
        for (const OptionUse& use : read.uses)
            if (!goesWithAutoAxes(kOptions[use.option]))
                return ArgumentError{
                    QStringLiteral("%1 cannot be given with --auto-axes: the axes of each image calibrate it")
                        .arg(kOptions[use.option].shown())};
    }
    QStringList missing;
    for (std::size_t i = 0; i < kRequiredOptions && request.project.isEmpty() && !request.autoAxes; ++i)
        if (!seen[i]) missing.append(kOptions[i].shown());
    if (!missing.isEmpty()) return ArgumentError{QStringLiteral("missing %1").arg(missing.join(QStringLiteral(", ")))};
    if (request.images.isEmpty()) return ArgumentError{QStringLiteral("no image given")};
    if (request.series.size() == 1 && request.series.front().rule == SeriesRequest::Rule::Colour)
        request.colourAt = request.series.front().at;
    return request;
}

}  // namespace vastrel::cli
