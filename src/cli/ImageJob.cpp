#include "cli/ImageJob.h"

#include "cli/FileNames.h"
#include "engine/axes/AxisCalibration.h"
#include "ocr/TesseractLabelReader.h"

#include "engine/digitize/CurveColour.h"
#include "engine/digitize/FrameCorners.h"
#include "engine/digitize/ScanReach.h"
#include "engine/digitize/SeriesRun.h"
#include "engine/image/DrawingArea.h"
#include "engine/image/Erasing.h"
#include "engine/image/ImageDecoding.h"
#include "engine/project/SeriesExport.h"
#include "engine/results/RowText.h"
#include "engine/results/SeriesTable.h"
#include "engine/text/TypedNumber.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <algorithm>

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

// How a refusal names the series: by the option that asked for it, or by
// the project's name for it.
QString seriesOption(const SeriesToFind& series)
{
    if (!series.name.isEmpty()) return QStringLiteral("series \"%1\"").arg(printableName(series.name));
    return QStringLiteral("%1 %2,%3")
        .arg(QLatin1String(series.rule == results::SeriesRule::Markers ? "--markers" : "--colour-at"))
        .arg(series.at.x())
        .arg(series.at.y());
}

QString colourRefusalText(digitize::ColourRefusal refusal, const SeriesToFind& series, const image::PixelView& view,
                          QSize picture)
{
    if (refusal == digitize::ColourRefusal::OutsidePicture)
        return QStringLiteral("%1 lies outside the image (%2 × %3 pixels)")
            .arg(seriesOption(series))
            .arg(picture.width())
            .arg(picture.height());
    const digitize::CurveColour shown = digitize::curveColourAt(view, series.at.x(), series.at.y());
    return QStringLiteral("%1 shows %2, %3, %4, which the white paper matches: no %5 can be told by it")
        .arg(seriesOption(series))
        .arg(shown.red)
        .arg(shown.green)
        .arg(shown.blue)
        .arg(QLatin1String(series.rule == results::SeriesRule::Markers ? "marker" : "curve"));
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
    for (const SeriesRequest& asked : request.series)
        settings.series.push_back(
            {asked.rule == SeriesRequest::Rule::Markers ? results::SeriesRule::Markers : results::SeriesRule::Colour,
             asked.at,
             std::nullopt,
             {}});
    settings.format = request.format;
    settings.more = request.references;
    settings.frameCorners = request.frameCorners;
    settings.autoAxes = request.autoAxes;
    return settings;
}

ImageOutcome ImageDigitizer::digitize(QIODevice& file, const QString& path)
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
    digitize::References references = settings_.references;
    std::vector<digitize::ReferencePoint> more;
    if (settings_.autoAxes) {
        // The image's own pixels, not the grey margin of the area around them.
        image::PixelView picture = image::pixelViewOf(area_);
        picture.width = imageSize.width();
        picture.height = imageSize.height();
        if (!reader_) reader_ = std::make_unique<ocr::TesseractLabelReader>();
        const auto calibrated = axes::calibrateAxes(picture, *reader_);
        if (const auto* refusal = std::get_if<std::string>(&calibrated)) {
            outcome.failure = QStringLiteral("not calibrated:%1").arg(QString::fromStdString(*refusal));
            return outcome;
        }
        const axes::AxisCalibration& found = std::get<axes::AxisCalibration>(calibrated);
        references = found.references();
        more.assign(found.refs.begin() + 2, found.refs.end());
    }
    if (settings_.frameCorners) {
        const digitize::References& refs = references;
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
    const std::vector<SeriesToFind>& asked = settings_.series;
    std::vector<results::Series> found;
    if (asked.empty()) {
        const digitize::SeriesFinding darkest =
            digitize::findSeries(view, references, more, {}, QStringLiteral("1"));
        if (!darkest.ok()) {
            outcome.failure = QStringLiteral("refused:%1").arg(QString::fromStdString(darkest.refusal));
            return outcome;
        }
        found.push_back(darkest.series);
    }
    // A lone --colour-at is refused in the words it always was; among several
    // series, for markers or from a project, the refusal names the series.
    const bool named =
        asked.size() > 1 ||
        (asked.size() == 1 && (asked.front().rule == results::SeriesRule::Markers || !asked.front().name.isEmpty()));
    for (std::size_t i = 0; i < asked.size(); ++i) {
        digitize::SeriesRequest request{asked[i].rule, asked[i].colour};
        if (asked[i].rule != results::SeriesRule::Darkest && !request.colour) {
            // As in the windows, the colour is taken on the picture only,
            // never on the grey margin beyond it.
            const auto choice =
                digitize::chooseColourAt(view, imageSize.width(), imageSize.height(), asked[i].at.x(), asked[i].at.y());
            if (const auto* refusal = std::get_if<digitize::ColourRefusal>(&choice)) {
                outcome.failure = colourRefusalText(*refusal, asked[i], view, imageSize);
                return outcome;
            }
            request.colour = std::get<digitize::CurveColour>(choice);
        }
        const QString name = asked[i].name.isEmpty() ? QString::number(i + 1) : asked[i].name;
        digitize::SeriesFinding finding = digitize::findSeries(view, references, more, request, name);
        if (!finding.ok()) {
            outcome.failure = QStringLiteral("refused:%1").arg(QString::fromStdString(finding.refusal));
            if (named) outcome.failure.prepend(seriesOption(asked[i]) + QStringLiteral(": "));
            return outcome;
        }
        found.push_back(std::move(finding.series));
    }
    // Any curve by the darkest pixel reaches as far as that rule does.
    const bool byColour = !asked.empty() && std::none_of(asked.begin(), asked.end(), [](const SeriesToFind& s) {
        return s.rule == results::SeriesRule::Darkest;
    });
    const digitize::ScanReach reach = digitize::scanReachOf(references, imageSize, byColour);
    outcome.failure = reachFailure(reach);
    if (!outcome.ok()) return outcome;
    outcome.warning = reachWarning(reach, imageSize);
    if (settings_.format == OutputFormat::Json) {
        // Named by the bytes read now, which are those digitized.
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (!file.seek(0) || !hash.addData(&file)) {
            outcome.failure = QStringLiteral("cannot read the image: %1").arg(file.errorString());
            return outcome;
        }
        project::SeriesExport contents;
        contents.imageName = QFileInfo(path).fileName();
        contents.imageSha256 = QString::fromLatin1(hash.result().toHex());
        contents.refs = references;
        contents.more = more;
        contents.series = found;
        contents.program = QStringLiteral("vastrel-digitizer " VASTREL_VERSION);
        outcome.bytes = project::seriesJson(contents).toStdString();
        return outcome;
    }
    // One series gives the file of "File Save"; several, that of all series.
    outcome.bytes =
        found.size() == 1 ? results::csvText(digitize::graphPointsOf(found.front())) : results::allSeriesCsvText(found);
    return outcome;
}

}  // namespace vastrel::cli
