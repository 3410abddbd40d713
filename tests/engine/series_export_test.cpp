// The JSON beside the table of all series: what a script reads back must be
// every point exactly, the calibration it was converted with and the picture
// it came from.

#include "engine/project/SeriesExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace vastrel::project {
namespace {

TEST(SeriesExport, AScriptReadsBackEveryPointTheCalibrationAndThePicture)
{
    std::vector<results::Series> series(2);
    series[0].name = "系列 1";
    series[0].rule = results::SeriesRule::Colour;
    series[0].colour = digitize::CurveColour{255, 16, 1, 300, 200};
    series[0].points = {{0.1 + 0.2, 1e-300, 102.0, 333.25}, {2.5, -7.125e12, 103.0, 334.0}};
    series[1].name = "b";
    series[1].rule = results::SeriesRule::Markers;
    series[1].colour = digitize::CurveColour{0, 0, 0, 10, 10};
    SeriesExport contents;
    contents.imageName = "graph.png";
    contents.imageSha256 = QString(64, 'a');
    contents.refs = {80.5f, 720.f, 940.f, 40.f, 1, 10, 1000, 1e5, digitize::ScaleMode::LogLog};
    contents.more = {{81, 41, 1, 1e5}};
    contents.series = series;
    contents.program = "vastrel-digitizer 1.0.0";

    const QByteArray bytes = seriesJson(contents);
    EXPECT_EQ(bytes, seriesJson(contents));
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(bytes, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(root["format"].toString(), kSeriesFormat);
    EXPECT_EQ(root["version"].toInt(), kSeriesVersion);
    EXPECT_EQ(root["program"].toString(), "vastrel-digitizer 1.0.0");
    EXPECT_EQ(root["image"]["name"].toString(), "graph.png");
    EXPECT_EQ(root["image"]["sha256"].toString(), QString(64, 'a'));
    EXPECT_EQ(root["mode"].toString(), "log-log");
    const QJsonArray refs = root["references"].toArray();
    ASSERT_EQ(refs.size(), 3);
    EXPECT_EQ(refs[0]["column"].toDouble(), 80.5);
    EXPECT_EQ(refs[1]["y"].toDouble(), 1e5);
    EXPECT_EQ(refs[2]["row"].toDouble(), 41);
    const QJsonArray out = root["series"].toArray();
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0]["name"].toString(), "系列 1");
    EXPECT_EQ(out[0]["rule"].toString(), "colour");
    EXPECT_EQ(out[0]["colour"].toString(), "#ff1001");
    EXPECT_EQ(out[1]["rule"].toString(), "markers");
    EXPECT_TRUE(out[1]["points"].toArray().isEmpty());
    const QJsonArray points = out[0]["points"].toArray();
    ASSERT_EQ(points.size(), 2);
    // Every double comes back exactly, the smallest and the inexact alike.
    EXPECT_EQ(points[0]["x"].toDouble(), 0.1 + 0.2);
    EXPECT_EQ(points[0]["y"].toDouble(), 1e-300);
    EXPECT_EQ(points[1]["y"].toDouble(), -7.125e12);
    EXPECT_EQ(points[0]["row"].toDouble(), 333.25);

    contents.imageSha256.clear();  // a pasted picture has no file
    const QJsonObject pasted = QJsonDocument::fromJson(seriesJson(contents)).object();
    EXPECT_TRUE(pasted["image"]["sha256"].isNull());
}

}  // namespace
}  // namespace vastrel::project
