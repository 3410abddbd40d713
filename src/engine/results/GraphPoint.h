#pragma once

namespace vastrel::results {

// One digitized point in the user's graph units.
struct GraphPoint {
    double x = 0.0;
    double y = 0.0;
};

}  // namespace vastrel::results
