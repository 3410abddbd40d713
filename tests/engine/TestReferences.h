#pragma once
// Reference values for the digitize tests, with the mode first as the tests
// read best.

#include "engine/digitize/References.h"

namespace vastrel::digitize::testing {

inline References refsOf(ScaleMode mode, float sx, float sy, float ex, float ey, double x1, double y1, double x2,
                         double y2)
{
    return References{sx, sy, ex, ey, x1, y1, x2, y2, mode};
}

}  // namespace vastrel::digitize::testing
