// "軸を自動検出": the picture calibrates itself. The frame, its ticks and the
// numbers printed at them give the start and end points with their values,
// the scale mode and the other ticks as found reference points with their
// residuals, and the grid is shown over the picture for the user to check
// before digitizing. An axis that cannot be calibrated is named, and nothing
// changes.

#include "engine/axes/AxisCalibration.h"
#include "engine/axes/AxisMessages.h"
#include "engine/image/DrawingArea.h"
#include "ocr/TesseractLabelReader.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

namespace vastrel::shell {

namespace {

QString valueText(double value)
{
    return QString::number(value, 'g', 15);
}

}  // namespace

void Form1::detectAxes()
{
    const QImage& picture = Picture1->Picture();
    if (picture.isNull()) {
        module_.platform().MsgBox(QString::fromUtf8(axes::msg::kNoAxes), tk::kExclamationMessage);
        return;
    }
    if (!labelReader_) labelReader_ = std::make_unique<ocr::TesseractLabelReader>();
    // The picture as it was loaded: an erased legend may cover a label.
    const QImage loaded = image::composeDrawingArea(picture, Picture1->drawingSize());
    image::PixelView view = image::pixelViewOf(loaded);
    view.width = std::min(view.width, picture.width());
    view.height = std::min(view.height, picture.height());
    const auto calibrated = axes::calibrateAxes(view, *labelReader_);
    if (const auto* refusal = std::get_if<std::string>(&calibrated)) {
        module_.platform().MsgBox(QString::fromStdString(*refusal), tk::kExclamationMessage);
        return;
    }
    const axes::AxisCalibration& found = std::get<axes::AxisCalibration>(calibrated);
    const digitize::ReferencePoint& start = found.refs[0];
    const digitize::ReferencePoint& end = found.refs[1];
    placePick(1, float(start.column), float(start.row));
    placePick(2, float(end.column), float(end.row));
    Text1->setText(valueText(start.x));
    Text2->setText(valueText(start.y));
    Text3->setText(valueText(end.x));
    Text4->setText(valueText(end.y));
    tk::OptionButton* options[] = {Option1, Option2, Option3, Option4};
    const int mode = int(found.mode);
    options[mode - 1]->setValue(true);
    module_.AxisScaleMode = std::int16_t(mode);
    // The points of an earlier calibration would pull against this one.
    auto& added = module_.addedReferences;
    added.clear();
    for (std::size_t i = 2; i < found.refs.size(); ++i) {
        const digitize::ReferencePoint& p = found.refs[i];
        added.push_back({p.column, p.row, valueText(p.x), valueText(p.y), true});
    }
    module_.referencePickIndex.reset();
    showReferenceMarkers();
    showReferenceList();
    referencesChanged();
    showGrid(true);
}

}  // namespace vastrel::shell
