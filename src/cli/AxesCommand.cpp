#include "cli/AxesCommand.h"

#include "cli/FileNames.h"
#include "cli/HelpText.h"
#include "engine/image/DrawingArea.h"
#include "engine/image/ImageDecoding.h"
#include "engine/project/ProjectFile.h"
#include "ocr/TesseractLabelReader.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace vastrel::cli {

namespace {

void printTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// The image read as the windows read it, or why not.
std::variant<QImage, QString> pictureOf(const QString& name)
{
    auto opened = image::openImageFile(fileSystemName(name));
    if (const auto* failure = std::get_if<image::ImageLoadFailure>(&opened)) return failure->reason;
    auto decoded = image::decodePicture(*std::get<std::unique_ptr<QFile>>(opened), image::kDrawingAreaSize);
    if (const auto* failure = std::get_if<image::ImageLoadFailure>(&decoded)) return failure->reason;
    return std::get<QImage>(decoded).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QString calibrationLine(const QString& imageName, const axes::AxisCalibration& calibration)
{
    QJsonArray refs;
    for (const digitize::ReferencePoint& p : calibration.refs) refs.append(QJsonArray{p.column, p.row, p.x, p.y});
    QJsonArray ticks;
    for (const axes::ReadTick& t : calibration.ticks) {
        if (!t.used) continue;
        ticks.append(QJsonObject{{QStringLiteral("axis"), QString(QLatin1Char(t.axis))},
                                 {QStringLiteral("col"), t.pixel.x},
                                 {QStringLiteral("row"), t.pixel.y},
                                 {QStringLiteral("text"), QString::fromStdString(t.text)},
                                 {QStringLiteral("value"), t.value}});
    }
    // Keys in the order people read them, which QJsonObject would sort.
    auto field = [](const char* key, const QJsonValue& value) {
        const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        return QStringLiteral("\"%1\":%2").arg(QLatin1String(key), QString::fromUtf8(text.mid(1, text.size() - 2)));
    };
    return QLatin1Char('{') +
           QStringList{field("image", imageName), field("mode", project::modeName(calibration.mode)),
                       field("refs", refs), field("ticks", ticks), field("max_residual_px", calibration.largestResidual)}
               .join(QLatin1Char(',')) +
           QLatin1Char('}');
}

int axesCommand(const QStringList& arguments)
{
    QStringList images;
    bool optionsEnd = false;
    for (const QString& argument : arguments) {
        if (!optionsEnd && argument == QLatin1String("--")) {
            optionsEnd = true;
        } else if (!optionsEnd && (argument == QLatin1String("--help") || argument == QLatin1String("-h"))) {
            printTo(stdout, helpText(1));
            return 0;
        } else if (!optionsEnd && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            printTo(stderr, QStringLiteral("vastrel-digitizer: axes: unknown option %1\n").arg(printableName(argument)));
            return 2;
        } else {
            images.append(argument);
        }
    }
    if (images.isEmpty()) {
        printTo(stderr, QStringLiteral("vastrel-digitizer: axes: no image given\n"));
        return 2;
    }
    ocr::TesseractLabelReader reader;
    if (!reader.ready()) {
        printTo(stderr, QStringLiteral("vastrel-digitizer: axes: the OCR model (tesseract-ocr-eng) cannot be loaded\n"));
        return 1;
    }
    int failed = 0;
    for (const QString& name : images) {
        const auto picture = pictureOf(name);
        if (const auto* reason = std::get_if<QString>(&picture)) {
            printTo(stderr, QStringLiteral("vastrel-digitizer: %1: cannot read the image: %2\n")
                                .arg(printableName(name), *reason));
            ++failed;
            continue;
        }
        const auto calibrated = axes::calibrateAxes(image::pixelViewOf(std::get<QImage>(picture)), reader);
        if (const auto* refusal = std::get_if<std::string>(&calibrated)) {
            printTo(stderr, QStringLiteral("vastrel-digitizer: %1: not calibrated:%2\n")
                                .arg(printableName(name), QString::fromStdString(*refusal)));
            ++failed;
            continue;
        }
        printTo(stdout, calibrationLine(QFileInfo(name).fileName(), std::get<axes::AxisCalibration>(calibrated)) +
                            QLatin1Char('\n'));
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace vastrel::cli
