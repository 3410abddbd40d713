#pragma once
// The points of the last Digitize as the shared state holds them, in the
// order of the list: what the file and the clipboard both receive. With
// several series, those of the one the result window lists.

#include "engine/results/GraphPoint.h"

#include <vector>

namespace vastrel::shell {
class Module1;
}

namespace vastrel::results {

std::vector<GraphPoint> storedPoints(const shell::Module1& module);

}  // namespace vastrel::results
