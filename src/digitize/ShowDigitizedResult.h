#pragma once
// The last step of a Digitize run: the result traced into the result window,
// its point list and the save dialog's preview filled, and the window shown.

namespace vastrel::shell {
class Module1;
}

namespace vastrel::digitize {

// Draws frame, decade lines, curve and the four reference values into
// Form2.Picture1 at the image's own pixel positions, refills Form2.List1 and
// Form3.List1 from rows 1..PointCount, and shows Form2. Form3 is created if
// needed but not shown.
void ShowDigitizedResult(shell::Module1& module);

}  // namespace vastrel::digitize
