#pragma once
// What reads the characters of one tick label: the OCR engine in the
// program, a table of known texts in tests.

#include <cstdint>
#include <string>
#include <vector>

namespace vastrel::axes {

// An upright crop of the picture around one label: 255 is full ink, 0 paper.
struct LabelPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> ink;  // row by row

    int at(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height ? ink[std::size_t(y) * std::size_t(width) + std::size_t(x)]
                                                           : 0;
    }
};

class LabelReader {
public:
    virtual ~LabelReader() = default;
    // The characters the picture shows, in UTF-8; empty when none are read.
    virtual std::string read(const LabelPicture& label) = 0;
};

}  // namespace vastrel::axes
