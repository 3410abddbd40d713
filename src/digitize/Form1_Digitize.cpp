// "Digitize": scans the image between the reference points for the curve and
// stores one point per column. A run that cannot give a sound result is
// refused before anything is stored, so the last result stays intact.

#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/DigitizeRun.h"
#include "engine/digitize/ScanReach.h"
#include "engine/digitize/ScanWindow.h"
#include "engine/digitize/SeriesRun.h"
#include "digitize/ShowDigitizedResult.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

namespace vastrel::shell {

namespace {

QString text(std::string_view message)
{
    return QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
}

}  // namespace

void Form1::Command5_Click()
{
    tk::Platform& platform = module_.platform();
    for (const tk::TextBox* box : {Text1, Text2, Text3, Text4}) {
        if (box->Text().isEmpty()) {
            platform.MsgBox(text(digitize::msg::kNoData), tk::kExclamationMessage);
            return;
        }
    }
    // An added reference point's values are needed as the boxes' are.
    const auto more = addedReferencePoints();
    if (!more) {
        platform.MsgBox(text(digitize::msg::kNoData), tk::kExclamationMessage);
        return;
    }
    module_.PickMode = 0;
    Picture1->setMousePointer(tk::kArrowPointer);

    const digitize::References references = typedReferences();
    const digitize::DigitizeOutcome outcome =
        digitize::digitize(Picture1->pixels(), references, module_.curveColour, *more);
    if (!outcome.ok()) {
        clearScanNotice();
        platform.MsgBox(text(outcome.refusal), tk::kExclamationMessage);
        return;
    }
    results::Series latest{results::nextSeriesName(module_.series),
                           module_.curveColour ? results::SeriesRule::Colour : results::SeriesRule::Darkest,
                           module_.curveColour,
                           {}};
    digitize::placeRunPoints(outcome, references, *more, latest);
    if (!takeLatestSeries(std::move(latest), references, *more)) return;
    showScanNotice(digitize::scanReachOf(references, Picture1->Picture().size(), module_.curveColour.has_value()));

    const bool fillsWindow = outcome.firstColumn == 0 &&
                             std::int64_t(outcome.points.size()) == digitize::scanWindowOf(references).columnCount();
    module_.firstPointColumn.reset();
    if (!fillsWindow) module_.firstPointColumn = module_.StartPixelX + 2.0f + float(outcome.firstColumn);
    module_.PointCount = 0;
    for (const digitize::DigitizedPoint& point : outcome.points) {
        const auto row = static_cast<std::int16_t>(module_.PointCount + 1);
        module_.PointCount = row;
        module_.DigitizedPoints(row).X = point.x;
        module_.DigitizedPoints(row).Y = point.y;
        module_.CurvePixelY(row) = point.pixelRow;
    }
    platform.DoEvents();
    platform.MsgBox(text(digitize::msg::kFinished));
    module_.DigitizedFlag = 1;
    platform.DoEvents();
    digitize::ShowDigitizedResult(module_);
}

}  // namespace vastrel::shell
