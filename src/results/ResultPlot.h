#pragma once
// The result window's plot: the frame of the reference points, the decade
// lines of a logarithmic axis, the curve of the last run and the four
// reference values, at the image's own pixel positions.

#include "engine/digitize/References.h"
#include "toolkit/PictureBox.h"

namespace vastrel::shell {
class Module1;
}

namespace vastrel::results {

// At the picks and with the values of `refs`; the curve from the point
// tables, unless `withTablesCurve` is false: when
// the result window shows series of its own over the plot instead.
void drawResultPlot(tk::PictureBox& plot, const shell::Module1& module, const digitize::References& refs,
                    bool withTablesCurve = true);

}  // namespace vastrel::results
