#include "engine/results/RowText.h"

#include "engine/text/NumberText.h"

#include <cstddef>
#include <string_view>

namespace vastrel::results {

namespace {

// "-1.000E+100, -1.000E+100\r\n" is the longest line; reserving it once
// keeps a 1000-point text to a single allocation.
constexpr std::size_t longestLine = 26;

// A header, then per point X, the separator, Y and the line end.
std::string pointLines(std::span<const GraphPoint> points, std::string_view header, std::string_view separator,
                       std::string_view lineEnd)
{
    std::string text;
    text.reserve((points.size() + 1) * longestLine);
    text += header;
    text += lineEnd;
    for (const GraphPoint& point : points) {
        text += text::scientificText(point.x);
        text += separator;
        text += text::scientificText(point.y);
        text += lineEnd;
    }
    return text;
}

}  // namespace

std::string resultListRow(double x, double y)
{
    return " " + text::scientificText(x) + "  " + text::scientificText(y);
}

std::string previewRow(double x, double y)
{
    return " " + text::scientificText(x) + ", " + text::scientificText(y);
}

std::string csvText(std::span<const GraphPoint> points)
{
    return pointLines(points, "X, Y", ", ", "\r\n");
}

std::string clipboardText(std::span<const GraphPoint> points)
{
    return pointLines(points, "X\tY", "\t", "\n");
}

}  // namespace vastrel::results
