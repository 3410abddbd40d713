#pragma once
// The strokes a label is printed with, and the small signs among them that
// OCR drops from small or soft print: a minus, a decimal point or comma.

#include <string>
#include <vector>

#include "engine/axes/LabelReader.h"

namespace vastrel::axes {

// Ink from this much on is print: a scan's small characters are grey.
inline constexpr int kPrint = 60;

inline bool isPrint(const LabelPicture& p, int x, int y)
{
    return p.at(x, y) >= kPrint;
}

// One connected stroke of print, its bounds inclusive.
struct Blob {
    int left, top, right, bottom;
};

// The strokes of a label, eight-connected.
std::vector<Blob> blobs(const LabelPicture& p);

// The text OCR read with the minus, point or comma it dropped put back where
// the label shows them: only when the text is plain digits and signs and
// holds one character for every other stroke, so that where each sign goes
// is certain. Nothing when the label shows a sign the text lacks and its
// place is not certain; otherwise the text as read.
std::string withSmallSigns(const std::string& text, const LabelPicture& label);

}  // namespace vastrel::axes
