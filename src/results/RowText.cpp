#include "results/RowText.h"

#include "toolkit/NumberText.h"

#include <cstddef>
#include <string_view>

namespace vastrel::results {

namespace {

constexpr std::string_view lineEnd = "\r\n";

}  // namespace

std::string resultListRow(double x, double y)
{
    return " " + tk::scientificText(x) + "  " + tk::scientificText(y);
}

std::string previewRow(double x, double y)
{
    return " " + tk::scientificText(x) + ", " + tk::scientificText(y);
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
        text += tk::scientificText(point.x);
        text += ", ";
        text += tk::scientificText(point.y);
        text += lineEnd;
    }
    return text;
}

}  // namespace vastrel::results
