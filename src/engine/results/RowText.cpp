#include "engine/results/RowText.h"

#include "engine/text/NumberText.h"

#include <cstddef>
#include <string_view>

namespace vastrel::results {

namespace {

constexpr std::string_view lineEnd = "\r\n";

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
    // "-1.000E+100, -1.000E+100\r\n" is the longest line; reserving it once
    // keeps a 1000-point file to a single allocation.
    constexpr std::size_t longestLine = 26;
    std::string text;
    text.reserve((points.size() + 1) * longestLine);
    text += "X, Y";
    text += lineEnd;
    for (const GraphPoint& point : points) {
        text += text::scientificText(point.x);
        text += ", ";
        text += text::scientificText(point.y);
        text += lineEnd;
    }
    return text;
}

}  // namespace vastrel::results
