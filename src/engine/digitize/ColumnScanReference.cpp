#include "engine/digitize/ColumnScanReference.h"

#include <string>

#include "engine/text/NumberText.h"

namespace vastrel::digitize {

std::vector<float> scanColumnsPerPixel(const image::PixelView& view, const References& refs)
{
    std::vector<float> rows;
    double row = 0.0;
    const double lastColumn = static_cast<double>(refs.endX) - 2.0;
    const double lastRow = static_cast<double>(refs.startY) - 15.0;
    for (double x = static_cast<double>(refs.startX) + 2.0; x <= lastColumn; x += 1.0) {
        double best = 255.0;
        for (double y = static_cast<double>(refs.endY) + 3.0; y <= lastRow; y += 1.0) {
            const std::int32_t c = view.point(x, y);
            std::string s = text::hexText(c);
            while (s.size() < 6) s.insert(0, "0");
            const double g = text::leadingNumber("&H" + s.substr(2, 2));
            if (g < best) {
                best = g;
                row = y;
            }
        }
        rows.push_back(static_cast<float>(row));
    }
    return rows;
}

}  // namespace vastrel::digitize
