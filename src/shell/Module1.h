#pragma once
// The state the three windows share, and the single instance of each
// secondary window, created hidden the first time anything refers to it.

#include "engine/digitize/CurveColour.h"
#include "engine/results/EditHistory.h"
#include "engine/results/SeriesSet.h"
#include "shell/PointTables.h"
#include "shell/Unset.h"
#include "toolkit/Platform.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vastrel::results {
class Form2;
class Form3;
}  // namespace vastrel::results

namespace vastrel::shell {

class Form1;

// A reference point beside the start and end points: where it lies on the
// image and the graph values typed for it.
struct AddedReference {
    double x = 0.0;
    double y = 0.0;
    QString typedX, typedY;
    bool found = false;  // placed by "四隅を検出", not picked
};

class Module1 {
public:
    explicit Module1(tk::Platform& platform);
    ~Module1();
    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;

    // 0 nothing armed, 1 the next press sets the start point, 2 the end
    // point, 3 an added reference point (the one of referencePickIndex).
    Unset<std::int16_t> PickMode;
    Unset<float> StartPixelX, StartPixelY, EndPixelX, EndPixelY;
    Unset<std::int16_t> PointCount;
    // 1 "Linear - Linear", 2 "Linear - Log", 3 "Log - Log", 4 "Log - Linear".
    Unset<std::int16_t> AxisScaleMode;
    DigitizedPointTable DigitizedPoints;
    CurvePixelTable CurvePixelY;
    // 1 while a result is available to the main window's "Digitized Graph".
    Unset<std::int16_t> DigitizedFlag;
    // The colour Digitize finds the curve by; none for the darkest pixel.
    std::optional<digitize::CurveColour> curveColour;
    // The image column of point 1 when a curve found by its colour starts
    // after the scan window's first column or ends before its last; none
    // when the points fill the window, one a column from StartPixelX + 2.
    std::optional<float> firstPointColumn;
    // The reference points besides the start and end points, as rows 3, 4, ...
    // of the reference list; loading another image keeps them, Reset clears them.
    std::vector<AddedReference> addedReferences;
    // Which of them a pick with PickMode 3 places; none for a new one.
    std::optional<std::size_t> referencePickIndex;
    // The picture shown: the file it was read from (empty for a pasted or
    // dropped picture) and the SHA-256 of the bytes it was decoded from.
    QString imagePath;
    QString imageSha256;
    // The series of the figure: the last run's result as a series beside the
    // tables above, and those kept with "系列に追加".
    results::SeriesSet series;
    // What Ctrl+Z takes back: erasures and changes of the series, one history.
    results::EditHistory history;

    tk::Platform& platform() const { return platform_; }

    // The main window registers itself here so that the other windows can read
    // its boxes; it is owned by whoever created it.
    void setMainWindow(Form1* form) { form1_ = form; }
    Form1& form1() const;

    results::Form2& form2();
    results::Form3& form3();
    bool form2Exists() const { return form2_ != nullptr; }
    bool form3Exists() const { return form3_ != nullptr; }

private:
    tk::Platform& platform_;
    Form1* form1_ = nullptr;
    std::unique_ptr<results::Form2> form2_;
    std::unique_ptr<results::Form3> form3_;
};

}  // namespace vastrel::shell
