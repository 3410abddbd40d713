#pragma once
// The progress line a batch shows on a terminal.

#include <cstddef>
#include <string>

namespace vastrel::cli {

// "37/200 images  12.3 images/s  0:13 left" while the batch runs, and
// "200/200 images  45.1 images/s  done in 0:04" once it is complete. Before
// the first image is done there is no rate to tell, only the count.
std::string progressLine(std::size_t done, std::size_t total, double elapsedSeconds);

}  // namespace vastrel::cli
