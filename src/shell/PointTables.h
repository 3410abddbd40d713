#pragma once
// The two 1001-row tables of a digitized result. Every access converts its
// index to a 32-bit integer (rounding half to even, as the original runtime
// did) and checks it against 0..1000; outside that range is a subscript error.

#include "shell/Unset.h"

#include <array>
#include <cstdint>
#include <stdexcept>

namespace vastrel::shell {

struct SubscriptOutOfRange : std::out_of_range {
    using std::out_of_range::out_of_range;
};

inline constexpr int kTableRows = 1001;  // rows 0..1000; row 0 is never written
inline constexpr int kMaxPoints = kTableRows - 1;

std::int32_t checkedRow(double index);

struct GraphPoint {
    Unset<double> X;
    Unset<double> Y;
};

template <class Entry>
class Table {
public:
    Entry& operator()(double index) { return rows_[static_cast<std::size_t>(checkedRow(index))]; }
    const Entry& operator()(double index) const { return rows_[static_cast<std::size_t>(checkedRow(index))]; }

private:
    std::array<Entry, kTableRows> rows_{};
};

using DigitizedPointTable = Table<GraphPoint>;
using CurvePixelTable = Table<Unset<float>>;

}  // namespace vastrel::shell
