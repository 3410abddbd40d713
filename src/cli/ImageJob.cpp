#include "cli/ImageJob.h"

#include "engine/digitize/CurveColour.h"
#include "engine/digitize/DigitizeRun.h"
#include "engine/digitize/FrameCorners.h"
#include "engine/digitize/ScanReach.h"
#include "engine/image/DrawingArea.h"
#include "engine/image/Erasing.h"
#include "engine/image/ImageDecoding.h"
#include "engine/results/RowText.h"
#include "engine/text/TypedNumber.h"

namespace vastrel::cli {

namespace {

QString spanText(const char* what, const std::optional<digitize::Span>& span)
{
    return span ? QStringLiteral("%1 %2 to %3").arg(QLatin1String(what)).arg(span->first).arg(span->last) : QString();
}

// Why a run gives no point, or what of it was read off the picture; empty
// when the window lies on the picture.
QString reachFailure(const digitize::ScanReach& reach)
{
    if (reach.noColumn)
        return QStringLiteral("no point: no column lies between the corners (--end must be at least 4 columns right "
                              "of --start)");
    if (reach.noRow)
        return QStringLiteral("no point: no row lies between the corners (--start must be at least 18 rows below "
                              "--end)");
    return {};
}

QString reachWarning(const digitize::ScanReach& reach, QSize picture)
{
    if (!reach.beyondPicture()) return {};
    QStringList parts{spanText("columns", reach.columnsLeft), spanText("columns", reach.columnsRight),
                      spanText("rows", reach.rowsAbove), spanText("rows", reach.rowsBelow)};
    parts.removeAll(QString());
    return QStringLiteral("%1 lie beyond the picture (%2 × %3 pixels): the scan read the grey margin there")
        .arg(parts.join(QStringLiteral(", ")))
        .arg(picture.width())
        .arg(picture.height());
}

QString colourRefusalText(digitize::ColourRefusal refusal, QPoint at, const image::PixelView& view, QSize picture)
{
    if (refusal == digitize::ColourRefusal::OutsidePicture)
        return QStringLiteral("--colour-at %1,%2 lies outside the image (%3 × %4 pixels)")
            .arg(at.x())
            .arg(at.y())
            .arg(picture.width())
            .arg(picture.height());
    const digitize::CurveColour shown = digitize::curveColourAt(view, at.x(), at.y());
    return QStringLiteral(
               "--colour-at %1,%2 shows %3, %4, %5, which the white paper matches: no curve can be told by it")
        .arg(at.x())
        .arg(at.y())
        .arg(shown.red)
        .arg(shown.green)
        .arg(shown.blue);
}

}  // namespace

DigitizeSettings settingsOf(const DigitizeRequest& request)
{
    DigitizeSettings settings;
    digitize::References& refs = settings.references;
    refs.startX = static_cast<float>(request.start.x());
    refs.startY = static_cast<float>(request.start.y());
    refs.endX = static_cast<float>(request.end.x());
    refs.endY = static_cast<float>(request.end.y());
    refs.x1 = text::typedNumber(request.x1);
    refs.y1 = text::typedNumber(request.y1);
    refs.x2 = text::typedNumber(request.x2);
    refs.y2 = text::typedNumber(request.y2);
    refs.mode = request.mode;
    settings.erasures = request.erasures;
    settings.colourAt = request.colourAt;
    settings.more = request.references;
    settings.frameCorners = request.frameCorners;
    return settings;
}

ImageOutcome ImageDigitizer::digitize(QIODevice& file)
{
    ImageOutcome outcome;
    auto loaded = image::decodePicture(file, image::kDrawingAreaSize);
    if (const auto* failure = std::get_if<image::ImageLoadFailure>(&loaded)) {
        outcome.failure = QStringLiteral("cannot read the image: %1").arg(failure->reason);
        outcome.outOfMemory = failure->outOfMemory;
        return outcome;
    }
    const QSize imageSize = std::get<QImage>(loaded).size();
    image::composeDrawingAreaInto(area_, std::get<QImage>(loaded));
    loaded = QImage();
    if (area_.isNull()) {
        outcome.failure = QStringLiteral("not enough memory for the drawing area");
        outcome.outOfMemory = true;
        return outcome;
    }
    // The frame is sought before the erasures, which may cover it beside a legend.
    std::vector<digitize::ReferencePoint> more;
    if (settings_.frameCorners) {
        const digitize::References& refs = settings_.references;
        const auto corners =
            digitize::findFrameCorners(image::pixelViewOf(area_), {refs.startX, refs.startY}, {refs.endX, refs.endY});
        if (const auto* refusal = std::get_if<std::string>(&corners)) {
            outcome.failure = QStringLiteral("refused:%1").arg(QString::fromStdString(*refusal));
            return outcome;
        }
        more = frameCornerReferences(std::get<digitize::FrameCorners>(corners), refs);
    }
    more.insert(more.end(), settings_.more.begin(), settings_.more.end());
    for (const QRect& rectangle : settings_.erasures) image::eraseRectangle(area_, rectangle);

    const image::PixelView view = image::pixelViewOf(area_);
    std::optional<digitize::CurveColour> colour;
    if (const auto& at = settings_.colourAt) {
        // As in the windows, the colour is taken on the picture only, never
        // on the grey margin beyond it.
        const auto choice = digitize::chooseColourAt(view, imageSize.width(), imageSize.height(), at->x(), at->y());
        if (const auto* refusal = std::get_if<digitize::ColourRefusal>(&choice)) {
            outcome.failure = colourRefusalText(*refusal, *at, view, imageSize);
            return outcome;
        }
        colour = std::get<digitize::CurveColour>(choice);
    }
    const digitize::DigitizeOutcome run = digitize::digitize(view, settings_.references, colour, more);
    if (!run.ok()) {
        outcome.failure = QStringLiteral("refused:%1").arg(QString::fromStdString(run.refusal));
        return outcome;
    }
    const digitize::ScanReach reach = digitize::scanReachOf(settings_.references, imageSize, colour.has_value());
    outcome.failure = reachFailure(reach);
    if (!outcome.ok()) return outcome;
    outcome.warning = reachWarning(reach, imageSize);
    std::vector<results::GraphPoint> points;
    points.reserve(run.points.size());
    for (const digitize::DigitizedPoint& point : run.points) points.push_back({point.x, point.y});
    outcome.csv = results::csvText(points);
    return outcome;
}

}  // namespace vastrel::cli
