// The series a run leaves beside those kept with "系列に追加", and the scatter
// markers found like the one under the image area's menu.

#include "digitize/ShowDigitizedResult.h"
#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/SeriesRun.h"
#include "results/Form2.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

namespace vastrel::shell {

namespace {

QString text(std::string_view message)
{
    return QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
}

}  // namespace

bool Form1::takeLatestSeries(results::Series found, const digitize::References& refs,
                             const std::vector<digitize::ReferencePoint>& more)
{
    // Series kept on other references take the new ones: a figure's series
    // share one calibration. A run whose references cannot convert them
    // changes nothing.
    results::SeriesSet& series = module_.series;
    if (!series.kept.empty() && (series.refs != refs || series.more != more)) {
        const std::string refusal = digitize::reconvertSeries(series.kept, refs, more);
        if (!refusal.empty()) {
            module_.platform().MsgBox(text(refusal), tk::kExclamationMessage);
            return false;
        }
    }
    series.refs = refs;
    series.more = more;
    series.latest = std::move(found);
    series.latestEdited = false;
    series.listed = series.kept.size();
    return true;
}

void Form1::findMarkersAt(QPoint pixel)
{
    tk::Platform& platform = module_.platform();
    const auto more = addedReferencePoints();
    bool typed = true;
    for (const tk::TextBox* box : {Text1, Text2, Text3, Text4}) typed = typed && !box->Text().isEmpty();
    if (!typed || !more) {
        platform.MsgBox(text(digitize::msg::kNoData), tk::kExclamationMessage);
        return;
    }
    const QImage& picture = Picture1->Picture();
    const auto choice =
        digitize::chooseColourAt(Picture1->pixels(), picture.width(), picture.height(), pixel.x(), pixel.y());
    if (!std::holds_alternative<digitize::CurveColour>(choice)) {
        platform.MsgBox(text(digitize::msg::kNoMarkerAtClick), tk::kExclamationMessage);
        return;
    }
    const digitize::References refs = typedReferences();
    digitize::SeriesFinding found = digitize::findSeries(
        Picture1->pixels(), refs, *more, {results::SeriesRule::Markers, std::get<digitize::CurveColour>(choice)},
        results::nextSeriesName(module_.series));
    if (!found.ok()) {
        platform.MsgBox(text(found.refusal), tk::kExclamationMessage);
        return;
    }
    const std::size_t count = found.series.points.size();
    if (!takeLatestSeries(std::move(found.series), refs, *more)) return;
    platform.MsgBox(QStringLiteral(" --- マーカーを %1 個検出しました --- ").arg(count));
    module_.DigitizedFlag = 1;
    digitize::ShowDigitizedResult(module_);
}

void Form1::keepLatestSeries()
{
    module_.form2().keepSeries();
}

}  // namespace vastrel::shell
