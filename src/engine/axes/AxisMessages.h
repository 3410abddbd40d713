#pragma once
// What "軸を自動検出" and the axes command tell the user when the picture
// does not calibrate itself. Each names the axis and why.

#include <string>
#include <string_view>

#include "engine/axes/AxisScale.h"

namespace vastrel::axes::msg {

// No lowest horizontal and leftmost vertical line meeting at a corner.
inline constexpr std::string_view kNoAxes =
    " --- 軸の線が見つかりません。始点と終点をクリックして座標を入力して下さい --- ";

// The ticks and labels agreed, but not on a mapping of the page.
inline constexpr std::string_view kNoMapping =
    " --- 軸の目盛から座標を決められません。始点と終点をクリックして座標を入力して下さい --- ";

inline std::string axisRefusal(char axis, ScaleRefusal why)
{
    const std::string name = axis == 'x' ? "X軸" : "Y軸";
    return why == ScaleRefusal::TooFewLabels
               ? " --- " + name + "の目盛の数字が 3 つ以上読み取れません。座標を入力して下さい --- "
               : " --- " + name + "の目盛の数字が食い違っています。座標を入力して下さい --- ";
}

}  // namespace vastrel::axes::msg
