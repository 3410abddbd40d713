// Reference points beside the start and end points, for pages scanned
// crooked or photographed at an angle: a pick armed from the image's menu
// (PickMode 3) places one, exactly as "始点" and "終点" place theirs; its
// values are typed in the list "基準点", where it can be picked again or
// deleted. Loading another image keeps them, for a series of scans of one
// layout; Reset clears them.

#include "calibration/ReferenceList.h"
#include "engine/digitize/DigitizeMessages.h"
#include "engine/text/TypedNumber.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "toolkit/LayoutStyle.h"

namespace vastrel::shell {

namespace {

constexpr double kMarkerArm = 8.0;

}  // namespace

void Form1::addReferencePoint()
{
    module_.referencePickIndex.reset();
    armReferencePick();
}

void Form1::pickReferenceAgain(std::size_t index)
{
    module_.referencePickIndex = index;
    armReferencePick();
}

void Form1::armReferencePick()
{
    module_.PickMode = 3;
    Picture1->setMousePointer(tk::kCrossPointer);
    module_.platform().MsgBox(QStringLiteral(" --- グラフ上で 基準点 をマウスクリックして下さい --- "));
}

void Form1::takeReferencePick(float X, float Y)
{
    auto& added = module_.addedReferences;
    const auto again = module_.referencePickIndex;
    std::size_t index = added.size();
    if (again && *again < added.size()) {
        index = *again;
        added[index].x = X;
        added[index].y = Y;
        added[index].found = false;
    } else {
        added.push_back({X, Y, {}, {}, false});
    }
    module_.referencePickIndex.reset();
    module_.PickMode = 0;
    showReferenceMarkers();
    referencesChanged();
    module_.platform().MsgBox(QStringLiteral(" ---  基準点 %1 の座標を入力して下さい  ---  ").arg(index + 3));
    referenceList().editRow(int(index + 2));
}

void Form1::deleteReferencePoint(std::size_t index)
{
    auto& added = module_.addedReferences;
    if (index >= added.size()) return;
    added.erase(added.begin() + std::ptrdiff_t(index));
    // A pick armed for a row that moved or went places a new one.
    module_.referencePickIndex.reset();
    showReferenceMarkers();
    referencesChanged();
}

void Form1::clearReferencePoints()
{
    module_.addedReferences.clear();
    module_.referencePickIndex.reset();
    showReferenceMarkers();
    referencesChanged();
}

void Form1::showReferenceMarkers()
{
    const auto& added = module_.addedReferences;
    while (referenceMarkers_.size() < added.size())
        referenceMarkers_.emplace_back(&Picture1->addLine(0, 0, 0, 0, tk::style::kRed),
                                       &Picture1->addLine(0, 0, 0, 0, tk::style::kRed));
    for (std::size_t i = 0; i < referenceMarkers_.size(); ++i) {
        auto [horizontal, vertical] = referenceMarkers_[i];
        const bool shown = i < added.size();
        horizontal->setVisible(shown);
        vertical->setVisible(shown);
        if (!shown) continue;
        const float x = float(added[i].x), y = float(added[i].y), arm = float(kMarkerArm);
        horizontal->setX1(x - arm);
        horizontal->setX2(x + arm);
        horizontal->setY1(y);
        horizontal->setY2(y);
        vertical->setX1(x);
        vertical->setX2(x);
        vertical->setY1(y - arm);
        vertical->setY2(y + arm);
    }
}

ReferenceList& Form1::referenceList()
{
    if (!referenceList_) {
        referenceList_ = new ReferenceList(*this, module_);
        // Over the foot of the image area, right: where a graph smaller than
        // the area leaves the grey margin, clear of the steps on the left.
        const QRect area(Picture1->mapToGlobal(QPoint(0, 0)), Picture1->size());
        referenceList_->move(area.right() - referenceList_->width() - 8, area.bottom() - referenceList_->height() - 8);
    }
    return *referenceList_;
}

void Form1::showReferenceList()
{
    referenceList().refresh();
    referenceList().show();
    referenceList().raise();
}

void Form1::referencesChanged()
{
    if (referenceList_) referenceList_->refresh();
    if (gridShown_) Picture1->update();
}

digitize::References Form1::typedReferences() const
{
    return {
        module_.StartPixelX,
        module_.StartPixelY,
        module_.EndPixelX,
        module_.EndPixelY,
        text::typedNumber(Text1->Text()),
        text::typedNumber(Text2->Text()),
        text::typedNumber(Text3->Text()),
        text::typedNumber(Text4->Text()),
        static_cast<digitize::ScaleMode>(static_cast<std::int16_t>(module_.AxisScaleMode)),
    };
}

std::optional<std::vector<digitize::ReferencePoint>> Form1::addedReferencePoints() const
{
    std::vector<digitize::ReferencePoint> points;
    for (const AddedReference& added : module_.addedReferences) {
        if (added.typedX.isEmpty() || added.typedY.isEmpty()) return std::nullopt;
        points.push_back({added.x, added.y, text::typedNumber(added.typedX), text::typedNumber(added.typedY)});
    }
    return points;
}

digitize::FitOutcome Form1::fittedReferences() const
{
    const auto more = addedReferencePoints();
    const bool boxesFilled =
        !Text1->Text().isEmpty() && !Text2->Text().isEmpty() && !Text3->Text().isEmpty() && !Text4->Text().isEmpty();
    if (!more || !boxesFilled) {
        digitize::FitOutcome missing;
        missing.refusal = std::string(digitize::msg::kNoData);
        return missing;
    }
    return digitize::mappingOf(typedReferences(), *more);
}

}  // namespace vastrel::shell
