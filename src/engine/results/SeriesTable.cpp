#include "engine/results/SeriesTable.h"

#include "engine/text/NumberText.h"

#include <algorithm>

namespace vastrel::results {

namespace {

std::string csvCell(const QString& name)
{
    std::string cell = name.toStdString();
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (const char c : cell) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string clipboardCell(const QString& name)
{
    std::string cell = name.toStdString();
    std::replace_if(
        cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return cell;
}

template <typename Cell>
std::string table(std::span<const Series> series, std::string_view header, std::string_view separator,
                  std::string_view lineEnd, const Cell& cell)
{
    std::string text(header);
    text += lineEnd;
    for (const Series& s : series) {
        const std::string name = cell(s.name);
        for (const SeriesPoint& p : s.points) {
            text += name;
            text += separator;
            text += text::scientificText(p.x);
            text += separator;
            text += text::scientificText(p.y);
            text += lineEnd;
        }
    }
    return text;
}

}  // namespace

std::string allSeriesCsvText(std::span<const Series> series)
{
    const bool plain = std::all_of(series.begin(), series.end(), [](const Series& s) {
        return std::all_of(s.name.begin(), s.name.end(), [](QChar c) { return c.unicode() < 0x80; });
    });
    return (plain ? "" : "\xEF\xBB\xBF") + table(series, "Series, X, Y", ", ", "\r\n", csvCell);
}

std::string allSeriesClipboardText(std::span<const Series> series)
{
    return table(series, "Series\tX\tY", "\t", "\n", clipboardCell);
}

}  // namespace vastrel::results
