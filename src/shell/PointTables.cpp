#include "shell/PointTables.h"

#include <cmath>
#include <string>

namespace vastrel::shell {

std::int32_t checkedRow(double index)
{
    if (!std::isfinite(index)) throw SubscriptOutOfRange("table index is not a number");
    const double rounded = std::nearbyint(index);  // the default rounding mode rounds half to even
    if (rounded < 0 || rounded > kMaxPoints)
        throw SubscriptOutOfRange("table index " + std::to_string(rounded) + " outside 0.." +
                                  std::to_string(kMaxPoints));
    return static_cast<std::int32_t>(rounded);
}

}  // namespace vastrel::shell
