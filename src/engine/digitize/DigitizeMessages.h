#pragma once
// The texts the "Digitize" run shows to the user, in one place. Each is a
// complete message-box prompt; the surrounding blanks and dashes belong to the
// text.

#include <string_view>

namespace vastrel::digitize::msg {

// A coordinate box is empty; the run does not start (exclamation icon).
inline constexpr std::string_view kNoData = " --- データが入力されていません --- ";

// The run has finished (no icon).
inline constexpr std::string_view kFinished = " --- DIGITIZE が終了しました。--- ";

// The span between the reference columns needs more than the 1000 points the
// point table holds.
inline constexpr std::string_view kTooWide =
    " --- 始点と終点が離れすぎています。取り込めるのは 1000 点（X 方向 1003 ピクセル）までです --- ";

// A converted value (or a coefficient of the conversion) is not a finite number.
inline constexpr std::string_view kNotFinite =
    " --- 座標の値が大きすぎて変換できません。始点と終点の座標を確かめて下さい --- ";

// Logarithmic Y axis, the typed Y of the start point is 0.
inline constexpr std::string_view kLogYStartZero = " --- Y軸が Log のため、始点の Y座標に 0 は使えません --- ";

// Logarithmic Y axis, the typed Y values differ in sign (or the end Y is 0).
inline constexpr std::string_view kLogYSign =
    " --- Y軸が Log のため、始点と終点の Y座標は同じ符号の 0 以外の値にして下さい --- ";

// Logarithmic X axis, the typed X of the start point is 0.
inline constexpr std::string_view kLogXStartZero = " --- X軸が Log のため、始点の X座標に 0 は使えません --- ";

// Logarithmic X axis, the typed X values differ in sign (or the end X is 0).
inline constexpr std::string_view kLogXSign =
    " --- X軸が Log のため、始点と終点の X座標は同じ符号の 0 以外の値にして下さい --- ";

// The two reference points lie on the same image row.
inline constexpr std::string_view kSameRow =
    " --- 始点と終点の Y ピクセルが同じです。始点（左下）と終点（右上）を指定し直して下さい --- ";

// The two reference points lie on the same image column.
inline constexpr std::string_view kSameColumn =
    " --- 始点と終点の X ピクセルが同じです。始点（左下）と終点（右上）を指定し直して下さい --- ";

// The curve colour the user chose shows nowhere between the reference points.
inline constexpr std::string_view kPaperColour =
    " --- 白に近い色は選べません。曲線の上を Ctrl + クリックして下さい --- ";

inline constexpr std::string_view kNoColourMatch =
    " --- 選んだ曲線の色が始点と終点の間に見つかりません。色を選び直すか、画像の上で右クリックして"
    "「曲線の色を解除」を選んで下さい --- ";

// With more reference points than the start and end points: a value of 0 or
// below on a logarithmic axis.
inline constexpr std::string_view kReferenceLogX =
    " --- X軸が Log のため、基準点の X座標はすべて 0 より大きい値にして下さい --- ";
inline constexpr std::string_view kReferenceLogY =
    " --- Y軸が Log のため、基準点の Y座標はすべて 0 より大きい値にして下さい --- ";

// The start and end points share an X or a Y value: the frame has no extent.
inline constexpr std::string_view kFrameUndefined =
    " --- 基準点が 3 点以上のときは、始点と終点の X座標どうし、Y座標どうしを違う値にして下さい --- ";

// Two reference points at one place, or with the same values.
inline constexpr std::string_view kReferencesRepeated =
    " --- 同じ位置か同じ座標の基準点が 2 つあります。基準点の一覧を確かめて下さい --- ";

// Three reference points on one line, or points that determine no mapping.
inline constexpr std::string_view kReferencesCollinear =
    " --- 3 つの基準点が一直線上にあります。一直線に並ばないように基準点を指定して下さい --- ";

// The values typed for the reference points would turn the page inside out.
inline constexpr std::string_view kReferencesFold =
    " --- 基準点の座標では画像が裏返しになります。入力した座標を確かめて下さい --- ";

// No frame lines run from the start and end points ("四隅を検出").
inline constexpr std::string_view kNoFrame =
    " --- 始点と終点から枠の線が見つかりません。残りの角は「基準点を追加」で指定して下さい --- ";

// "マーカーを検出" clicked outside the frame of the start and end points.
inline constexpr std::string_view kMarkerOutsideFrame =
    " --- マーカーは始点と終点の間にあるものをクリックして下さい --- ";

// No marker, or only a line, at the pixel clicked for "マーカーを検出".
inline constexpr std::string_view kNoMarkerAtClick =
    " --- クリックした所にマーカーが見つかりません。マーカーの上でクリックして下さい --- ";

}  // namespace vastrel::digitize::msg
