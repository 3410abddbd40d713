#include "engine/project/ProjectFile.h"
#include "engine/results/SeriesTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>

using namespace vastrel;
using namespace vastrel::project;

namespace {

Project everyPart()
{
    Project p;
    p.imagePath = "figures/図 3.png";
    p.imageSha256 = QString(64, 'a');
    p.start = PickedPixel{80.0, 720.5};
    p.end = PickedPixel{940.25, 40.0};
    p.texts = {"0", "1e-3", "10 V", "−40"};
    p.more = {{{82.0, 41.0}, "0", "1", true}, {{939.0, 722.0}, "10", "1e-3", false}};
    p.mode = digitize::ScaleMode::LinearLog;
    p.erasures = {QRect(QPoint(700, 50), QPoint(900, 120)), QRect(QPoint(-5, -5), QPoint(3, 3))};
    p.colour = digitize::CurveColour{200, 30, 40, 300, 310, 48};
    results::Series colour{"系列 1", results::SeriesRule::Colour, p.colour, {{0.1, 2.5e-3, 82.0, 400.25}}};
    results::Series markers{"markers, \"hollow\"",
                            results::SeriesRule::Markers,
                            digitize::CurveColour{0, 0, 255, 500, 200, 30},
                            {{1.0 / 3.0, -7.25, 310.5, 220.125}, {5, 6, 7, 8}}};
    results::Series empty{"", results::SeriesRule::Darkest, std::nullopt, {}};
    p.series = {colour, markers, empty};
    return p;
}

QJsonObject rootOf(const Project& p)
{
    return QJsonDocument::fromJson(projectJson(p, "1.0.0")).object();
}

QString refusalOf(const QJsonObject& root)
{
    const ProjectReading reading = readProject(QJsonDocument(root).toJson());
    EXPECT_EQ(reading.project.has_value(), reading.refusal.isEmpty());
    return reading.refusal;
}

TEST(ProjectFile, SavedOpenedAndSavedAgainIsTheSameToTheByte)
{
    const Project saved = everyPart();
    const QByteArray bytes = projectJson(saved, "1.0.0");
    const ProjectReading reading = readProject(bytes);
    ASSERT_TRUE(reading.project) << reading.refusal.toStdString();
    const Project& opened = *reading.project;
    EXPECT_EQ(projectJson(opened, "1.0.0"), bytes);
    EXPECT_EQ(opened.imagePath, saved.imagePath);
    EXPECT_EQ(opened.start, saved.start);
    EXPECT_EQ(opened.texts, saved.texts);
    EXPECT_EQ(opened.more, saved.more);
    EXPECT_EQ(opened.mode, saved.mode);
    EXPECT_EQ(opened.erasures, saved.erasures);
    ASSERT_EQ(opened.series.size(), 3u);
    EXPECT_EQ(opened.series[1].name, saved.series[1].name);
    EXPECT_EQ(opened.series[1].rule, results::SeriesRule::Markers);
    EXPECT_EQ(opened.series[1].colour->blue, 255);
    EXPECT_EQ(opened.series[1].points, saved.series[1].points);  // 1/3 to the last bit
    EXPECT_FALSE(opened.series[2].colour);
    EXPECT_FALSE(Project{}.start);
    Project bare;
    bare.imagePath = "a.png";
    bare.imageSha256 = QString(64, '0');
    EXPECT_TRUE(readProject(projectJson(bare, "1")).project);
}

TEST(ProjectFile, EveryDamageIsRefusedWithWhereItLies)
{
    const QJsonObject good = rootOf(everyPart());
    const auto with = [&](const std::function<void(QJsonObject&)>& damage) {
        QJsonObject root = good;
        damage(root);
        return refusalOf(root);
    };
    const auto seriesWith = [&](const std::function<void(QJsonObject&)>& damage) {
        return with([&](QJsonObject& root) {
            QJsonArray series = root["series"].toArray();
            QJsonObject first = series[1].toObject();
            damage(first);
            series[1] = first;
            root["series"] = series;
        });
    };
    EXPECT_EQ(refusalOf(good), "");
    EXPECT_FALSE(readProject("{\"format\": ").refusal.isEmpty());
    EXPECT_FALSE(readProject("[1, 2]").refusal.isEmpty());
    EXPECT_FALSE(readProject("").refusal.isEmpty());
    EXPECT_EQ(with([](QJsonObject& r) { r["format"] = "something else"; }), "プロジェクトファイルではありません");
    EXPECT_EQ(with([](QJsonObject& r) { r["version"] = 2; }), "新しい版のプログラムで保存されたプロジェクトです");
    EXPECT_EQ(with([](QJsonObject& r) { r["version"] = "1"; }), "プロジェクトファイルの版が違います");
    EXPECT_TRUE(with([](QJsonObject& r) { r.remove("mode"); }).startsWith(":"));
    EXPECT_TRUE(with([](QJsonObject& r) { r["mode"] = "log-lin"; }).startsWith("mode:"));
    EXPECT_TRUE(with([](QJsonObject& r) { r["texts"] = QJsonArray{"1", "2", "3"}; }).startsWith("texts:"));
    EXPECT_TRUE(with([](QJsonObject& r) { r["texts"] = QJsonArray{"1", "2", "3", 4}; }).startsWith("texts[3]:"));
    EXPECT_TRUE(with([](QJsonObject& r) {
                    r["start"] = QJsonObject{{"column", "80"}, {"row", 1}};
                }).startsWith("start.column:"));
    EXPECT_TRUE(with([](QJsonObject& r) {
                    r["end"] = QJsonObject{{"column", 1e300}, {"row", 1}};
                }).startsWith("end.column:"));
    for (const char* path : {"../secret.png", "figures/../../x.png", "a\\..\\b.png", ""})
        EXPECT_TRUE(with([&](QJsonObject& r) {
                        r["image"] = QJsonObject{{"path", path}, {"sha256", QString(64, 'a')}};
                    }).startsWith("image.path:"))
            << path;
    EXPECT_TRUE(with([](QJsonObject& r) {
                    r["image"] = QJsonObject{{"path", "a.png"}, {"sha256", QString(64, 'A')}};
                }).startsWith("image.sha256:"));
    EXPECT_TRUE(with([](QJsonObject& r) {
                    r["erasures"] = QJsonArray{QJsonArray{10, 10, 5, 20}};
                }).startsWith("erasures[0]:"));
    EXPECT_TRUE(with([](QJsonObject& r) {
                    r["erasures"] = QJsonArray{QJsonArray{1.5, 10, 5, 20}};
                }).startsWith("erasures[0]:"));
    EXPECT_TRUE(with([](QJsonObject& r) {
                    QJsonObject c = r["colour"].toObject();
                    c["red"] = 256;
                    r["colour"] = c;
                }).startsWith("colour.red:"));
    EXPECT_TRUE(seriesWith([](QJsonObject& s) { s["rule"] = "guess"; }).startsWith("series[1].rule:"));
    EXPECT_TRUE(seriesWith([](QJsonObject& s) { s["colour"] = QJsonValue::Null; }).startsWith("series[1].colour:"));
    EXPECT_TRUE(seriesWith([](QJsonObject& s) {
                    s["points"] = QJsonArray{QJsonArray{1, 2, 3}};
                }).startsWith("series[1].points[0]:"));
    EXPECT_TRUE(seriesWith([](QJsonObject& s) { s["name"] = QString(300, 'n'); }).startsWith("series[1].name:"));
    EXPECT_TRUE(seriesWith([](QJsonObject& s) {
                    QJsonArray points;
                    for (int i = 0; i <= 100000; ++i) points.append(QJsonArray{i, i, i, i});
                    s["points"] = points;
                }).startsWith("series[1].points:"));
    // Numbers beyond a double's range, and bytes beyond what any project needs.
    QByteArray huge = projectJson(everyPart(), "1");
    huge.replace("\"row\": 720.5", "\"row\": 1e999");
    EXPECT_FALSE(readProject(huge).refusal.isEmpty());
    EXPECT_EQ(readProject(QByteArray(kMaxProjectBytes + 1, ' ')).refusal, "ファイルが大きすぎます");
}

TEST(SeriesTable, OneRowPerPointSeriesInOrderNamesKeptOneCell)
{
    using results::Series;
    const std::vector<Series> plain{{"1", results::SeriesRule::Colour, std::nullopt, {{1, 2, 0, 0}, {3, -4, 0, 0}}},
                                    {"2", results::SeriesRule::Markers, std::nullopt, {{0.5, 1e-3, 0, 0}}}};
    EXPECT_EQ(results::allSeriesCsvText(plain), "Series, X, Y\r\n"
                                                "1, 1.000E+00, 2.000E+00\r\n"
                                                "1, 3.000E+00, -4.000E+00\r\n"
                                                "2, 5.000E-01, 1.000E-03\r\n");
    EXPECT_EQ(results::allSeriesClipboardText(plain), "Series\tX\tY\n"
                                                      "1\t1.000E+00\t2.000E+00\n"
                                                      "1\t3.000E+00\t-4.000E+00\n"
                                                      "2\t5.000E-01\t1.000E-03\n");
    const std::vector<Series> named{{"a, \"b\"", results::SeriesRule::Darkest, std::nullopt, {{1, 1, 0, 0}}},
                                    {"系列\t2", results::SeriesRule::Darkest, std::nullopt, {{2, 2, 0, 0}}}};
    EXPECT_EQ(results::allSeriesCsvText(named), "\xEF\xBB\xBFSeries, X, Y\r\n"
                                                "\"a, \"\"b\"\"\", 1.000E+00, 1.000E+00\r\n"
                                                "系列\t2, 2.000E+00, 2.000E+00\r\n");
    EXPECT_EQ(results::allSeriesClipboardText(named), "Series\tX\tY\n"
                                                      "a, \"b\"\t1.000E+00\t1.000E+00\n"
                                                      "系列 2\t2.000E+00\t2.000E+00\n");
}

}  // namespace
