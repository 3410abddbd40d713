#pragma once
// Several series as one table: the file "すべての系列を保存" writes, with a
// header "Series, X, Y" and a row per point, series in order, and the same
// table with tabs for the clipboard.

#include <span>
#include <string>

#include "engine/results/Series.h"

namespace vastrel::results {

// Every line ended by CR LF, like the one-series file; the values in the
// "0.000E+00" form. A name holding a comma, a quote or a line break is
// quoted, its quotes doubled, so that a spreadsheet keeps it one cell. The
// text is UTF-8; a byte-order mark leads it only where some name is not
// ASCII, so that a spreadsheet reads such names right and a plain file stays
// as plain as the one-series file.
std::string allSeriesCsvText(std::span<const Series> series);

// "Series\tX\tY" and a row per point, lines ended by LF; a tab or line
// break in a name becomes a blank.
std::string allSeriesClipboardText(std::span<const Series> series);

}  // namespace vastrel::results
