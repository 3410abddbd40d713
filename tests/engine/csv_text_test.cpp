#include "engine/results/RowText.h"

#include "engine/text/NumberText.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

using namespace vastrel::results;

namespace {

std::vector<std::string> linesEndedByCrLf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    EXPECT_EQ(start, bytes.size()) << "bytes after the last CR LF";
    return lines;
}

TEST(CsvText, EmptyResultIsTheHeaderAlone)
{
    EXPECT_EQ(csvText({}), "X, Y\r\n");
}

TEST(CsvText, OnePointLine)
{
    const GraphPoint point{1234.56, 0.0012};
    EXPECT_EQ(csvText({&point, 1}), "X, Y\r\n1.235E+03, 1.200E-03\r\n");
}

TEST(CsvText, NegativeZeroAndHugeValues)
{
    const std::vector<GraphPoint> points{{-52.7, 0.0}, {-0.0, 1.7976931348623157e308}, {-1e-300, 5e-324}};
    EXPECT_EQ(csvText(points), "X, Y\r\n-5.270E+01, 0.000E+00\r\n0.000E+00, 1.798E+308\r\n-1.000E-300, 4.941E-324\r\n");
}

TEST(CsvText, ThousandPointsGiveThousandAndOneLines)
{
    std::vector<GraphPoint> points;
    for (int i = 1; i <= 1000; ++i) {
        points.push_back({i * 0.5, -1.0 / i});
    }
    const std::string bytes = csvText(points);
    EXPECT_EQ(bytes.find('\xEF'), std::string::npos);
    EXPECT_EQ(bytes.find("\n\r"), bytes.find("\r\n\r\n"));
    const std::vector<std::string> lines = linesEndedByCrLf(bytes);
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines.front(), "X, Y");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const GraphPoint& point = points[i - 1];
        ASSERT_EQ(lines[i], vastrel::text::scientificText(point.x) + ", " + vastrel::text::scientificText(point.y));
        ASSERT_EQ(lines[i].find_first_of("\r\n"), std::string::npos);
    }
    EXPECT_EQ(lines.back(), "5.000E+02, -1.000E-03");
}

TEST(ClipboardText, TabSeparatedLinesEndedByLineFeed)
{
    EXPECT_EQ(clipboardText({}), "X\tY\n");
    const std::vector<GraphPoint> points{{1234.56, 0.0012}, {-52.7, 0.0}};
    EXPECT_EQ(clipboardText(points), "X\tY\n1.235E+03\t1.200E-03\n-5.270E+01\t0.000E+00\n");
    // The same numbers as the saved file, line for line.
    std::string fromFile = csvText(points);
    for (std::size_t at; (at = fromFile.find(", ")) != std::string::npos;) fromFile.replace(at, 2, "\t");
    for (std::size_t at; (at = fromFile.find('\r')) != std::string::npos;) fromFile.erase(at, 1);
    EXPECT_EQ(clipboardText(points), fromFile);
}

TEST(ListRows, ResultListAndPreview)
{
    EXPECT_EQ(resultListRow(12.34, 0.05678), " 1.234E+01  5.678E-02");
    EXPECT_EQ(resultListRow(-52.7, 0.0), " -5.270E+01  0.000E+00");
    EXPECT_EQ(previewHeader, "     X    ,     Y");
    EXPECT_EQ(previewRow(12.34, 0.05678), " 1.234E+01, 5.678E-02");
    EXPECT_EQ(previewRow(1234.56, -1e100), " 1.235E+03, -1.000E+100");
}

}  // namespace
