#include "engine/project/ProjectFile.h"
#include "engine/project/SeriesExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vastrel::project {

namespace {

QJsonValue pixelJson(const std::optional<PickedPixel>& pixel)
{
    if (!pixel) return QJsonValue::Null;
    return QJsonObject{{"column", pixel->column}, {"row", pixel->row}};
}

QJsonValue colourJson(const std::optional<digitize::CurveColour>& colour)
{
    if (!colour) return QJsonValue::Null;
    return QJsonObject{{"red", colour->red},  {"green", colour->green}, {"blue", colour->blue},
                       {"column", colour->x}, {"row", colour->y},       {"tolerance", colour->tolerance}};
}

QJsonObject seriesJson(const results::Series& series)
{
    QJsonArray points;
    for (const results::SeriesPoint& p : series.points) points.append(QJsonArray{p.x, p.y, p.column, p.row});
    return QJsonObject{{"name", series.name},
                       {"rule", ruleName(series.rule)},
                       {"colour", colourJson(series.colour)},
                       {"points", points}};
}

}  // namespace

QString modeName(digitize::ScaleMode mode)
{
    switch (mode) {
    case digitize::ScaleMode::LinearLog: return "linear-log";
    case digitize::ScaleMode::LogLog: return "log-log";
    case digitize::ScaleMode::LogLinear: return "log-linear";
    case digitize::ScaleMode::LinearLinear: break;
    }
    return "linear-linear";
}

std::optional<digitize::ScaleMode> modeNamed(const QString& name)
{
    for (const auto mode : {digitize::ScaleMode::LinearLinear, digitize::ScaleMode::LinearLog,
                            digitize::ScaleMode::LogLog, digitize::ScaleMode::LogLinear})
        if (modeName(mode) == name) return mode;
    return std::nullopt;
}

QByteArray projectJson(const Project& project, const QString& programVersion)
{
    QJsonArray texts;
    for (const QString& text : project.texts) texts.append(text);
    QJsonArray more;
    for (const ReferenceText& r : project.more)
        more.append(
            QJsonObject{{"column", r.at.column}, {"row", r.at.row}, {"x", r.x}, {"y", r.y}, {"found", r.found}});
    QJsonArray erasures;
    for (const QRect& e : project.erasures) erasures.append(QJsonArray{e.left(), e.top(), e.right(), e.bottom()});
    QJsonArray series;
    for (const results::Series& s : project.series) series.append(seriesJson(s));
    const QJsonObject root{
        {"format", kProjectFormat},
        {"version", kProjectVersion},
        {"program", programVersion},
        {"image", QJsonObject{{"path", project.imagePath}, {"sha256", project.imageSha256}}},
        {"start", pixelJson(project.start)},
        {"end", pixelJson(project.end)},
        {"texts", texts},
        {"references", more},
        {"mode", modeName(project.mode)},
        {"erasures", erasures},
        {"colour", colourJson(project.colour)},
        {"series", series},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace vastrel::project
