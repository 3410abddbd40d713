#pragma once
// Texts of the result list, the save preview and the saved CSV file. Both
// values are always written in the "0.000E+00" form.

#include "engine/results/GraphPoint.h"

#include <span>
#include <string>
#include <string_view>

namespace vastrel::results {

// A row of the result window's list: " 1.234E+01  5.678E-02".
std::string resultListRow(double x, double y);

// The first row of the save preview.
inline constexpr std::string_view previewHeader = "     X    ,     Y";

// A data row of the save preview: " 1.234E+01, 5.678E-02".
std::string previewRow(double x, double y);

// The complete bytes of the saved file: the header line "X, Y" and one line
// per point, every line ended by CR LF, no byte-order mark.
std::string csvText(std::span<const GraphPoint> points);

// The points as copied to the clipboard: "X\tY" and one line per point, the
// two values separated by a tab and every line ended by LF, so that a
// spreadsheet pastes them into two columns.
std::string clipboardText(std::span<const GraphPoint> points);

}  // namespace vastrel::results
