#include "engine/project/SeriesExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "engine/project/ProjectFile.h"

namespace vastrel::project {

QString ruleName(results::SeriesRule rule)
{
    switch (rule) {
    case results::SeriesRule::Colour: return "colour";
    case results::SeriesRule::Markers: return "markers";
    case results::SeriesRule::Darkest: break;
    }
    return "darkest";
}

namespace {

QJsonValue colourText(const std::optional<digitize::CurveColour>& colour)
{
    if (!colour) return QJsonValue::Null;
    return QString::asprintf("#%02x%02x%02x", colour->red, colour->green, colour->blue);
}

QJsonObject referenceJson(double column, double row, double x, double y)
{
    return QJsonObject{{"column", column}, {"row", row}, {"x", x}, {"y", y}};
}

}  // namespace

QByteArray seriesJson(const SeriesExport& contents)
{
    const digitize::References& r = contents.refs;
    QJsonArray references{referenceJson(r.startX, r.startY, r.x1, r.y1), referenceJson(r.endX, r.endY, r.x2, r.y2)};
    for (const digitize::ReferencePoint& p : contents.more) references.append(referenceJson(p.column, p.row, p.x, p.y));
    QJsonArray series;
    for (const results::Series& s : contents.series) {
        QJsonArray points;
        for (const results::SeriesPoint& p : s.points)
            points.append(QJsonObject{{"x", p.x}, {"y", p.y}, {"column", p.column}, {"row", p.row}});
        series.append(QJsonObject{
            {"name", s.name}, {"rule", ruleName(s.rule)}, {"colour", colourText(s.colour)}, {"points", points}});
    }
    const QJsonObject root{
        {"format", kSeriesFormat},
        {"version", kSeriesVersion},
        {"program", contents.program},
        {"image", QJsonObject{{"name", contents.imageName},
                              {"sha256", contents.imageSha256.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                                        : QJsonValue(contents.imageSha256)}}},
        {"mode", modeName(r.mode)},
        {"references", references},
        {"series", series},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace vastrel::project
