#pragma once
// The colours and font names the window layouts are drawn with.

#include "toolkit/Color.h"

#include <QString>

namespace vastrel::tk::style {

inline constexpr ColorValue kBlack = 0x000000;
inline constexpr ColorValue kWhite = 0xFFFFFF;
inline constexpr ColorValue kRed = 0x0000FF;
inline constexpr ColorValue kBlue = 0xFF0000;
inline constexpr ColorValue kGrey = 0x808080;
inline constexpr ColorValue kLightGrey = 0xC0C0C0;
inline constexpr ColorValue kPaleGrey = 0xE0E0E0;
inline constexpr ColorValue kLightYellow = 0xC0FFFF;
inline constexpr ColorValue kLightCyan = 0xFFFFC0;

inline const QString kMeiryo = QStringLiteral("メイリオ");
inline const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");
inline const QString kRoundGothic = QStringLiteral("HG丸ｺﾞｼｯｸM-PRO");
inline const QString kTimes = QStringLiteral("Times New Roman");

}  // namespace vastrel::tk::style
