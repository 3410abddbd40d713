// --project and --format before any image is read: which options go with a
// project, the names the JSON files get, and what a project read stands for.

#include "cli/DigitizeArguments.h"
#include "cli/OutputPlan.h"
#include "cli/ProjectSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace vastrel;
using namespace vastrel::cli;

namespace {

QString mistakeIn(const QStringList& arguments)
{
    auto result = parseDigitizeArguments(arguments);
    return std::holds_alternative<ArgumentError>(result) ? std::get<ArgumentError>(result).message : QString();
}

TEST(ProjectArguments, AProjectStandsForTheReferencesErasuresAndSeries)
{
    const auto parsed =
        parseDigitizeArguments({"a.png", "--project", "p.vdproj", "--format=json", "-j", "2", "-o", "x"});
    ASSERT_TRUE(std::holds_alternative<DigitizeRequest>(parsed))
        << mistakeIn({"a.png", "--project", "p.vdproj"}).toStdString();
    const DigitizeRequest& request = std::get<DigitizeRequest>(parsed);
    EXPECT_EQ(request.project, "p.vdproj");
    EXPECT_EQ(request.format, OutputFormat::Json);
    EXPECT_EQ(request.jobs, 2);

    const QStringList project{"a.png", "--project", "p.vdproj"};
    for (const QStringList& option : {QStringList{"--start", "1,2"},
                                      {"--end", "1,2"},
                                      {"--x1", "0"},
                                      {"--y2", "1"},
                                      {"--mode", "log-log"},
                                      {"--erase", "1,2,3,4"},
                                      {"--colour-at", "1,2"},
                                      {"--markers", "1,2"},
                                      {"--ref", "1,2,3,4"},
                                      {"--frame-corners"}})
        EXPECT_EQ(mistakeIn(option + project),
                  option[0] + " cannot be given with --project: the project sets the references, erasures and series");
    EXPECT_EQ(mistakeIn({"--project", "p.vdproj"}), "no image given");
    EXPECT_EQ(mistakeIn(project + QStringList{"--project", "q.vdproj"}), "--project is given twice");
    EXPECT_EQ(mistakeIn({"a.png", "--project="}), "--project needs a project file, not \"\"");
    EXPECT_EQ(mistakeIn(project + QStringList{"--format", "xml"}), "--format must be csv or json, not \"xml\"");
    // Without a project the six options are needed as ever, --format or not.
    EXPECT_EQ(mistakeIn({"a.png", "--format", "json"}), "missing --start, --end, --x1, --y1, --x2, --y2");
}

TEST(ProjectArguments, JsonFilesAreNamedAfterTheirImagesAndNeverReplaceTheProject)
{
    QTemporaryDir root;
    const QDir disk(root.path());
    DigitizeRequest request;
    request.images = QStringList{"a/graph.png", "b/scan.2.JPG"};
    request.output = disk.filePath("out/");
    request.format = OutputFormat::Json;
    auto planned = planOutputs(request);
    ASSERT_TRUE(std::holds_alternative<OutputPlan>(planned));
    const OutputPlan& plan = std::get<OutputPlan>(planned);
    EXPECT_EQ(plan.tasks.at(0).output, disk.filePath("out/graph.json"));
    EXPECT_EQ(plan.tasks.at(1).output, disk.filePath("out/scan.2.json"));

    request.output = "-";
    EXPECT_EQ(std::get<ArgumentError>(planOutputs(request)).message, "2 images need -o FOLDER, one JSON file each");
    request.images = QStringList{"graph.png"};
    request.project = disk.filePath("p.vdproj");
    request.output = disk.filePath("./p.vdproj");
    EXPECT_EQ(std::get<ArgumentError>(planOutputs(request)).message,
              QStringLiteral("the JSON of graph.png would replace the project %1").arg(request.project));
}

project::Project twoSeriesProject()
{
    project::Project p;
    p.start = project::PickedPixel{62.5, 398};
    p.end = project::PickedPixel{541, 37};
    p.texts = {"-2.5", "−40", "7,5", "1 V"};
    p.mode = digitize::ScaleMode::LogLinear;
    p.more = {{{300, 398}, "1e1", "0", true}};
    p.erasures = {QRect(1, 2, 3, 4), QRect(0, 0, 10, 10)};
    digitize::CurveColour red{220, 30, 30, 120, 200, 30};
    p.series = {{"", results::SeriesRule::Colour, red, {{1, 2, 3, 4}}},
                {"dots", results::SeriesRule::Markers, digitize::CurveColour{0, 150, 0, 90, 80}, {}},
                {"darkest", results::SeriesRule::Darkest, std::nullopt, {}}};
    return p;
}

TEST(ProjectOption, TakenAsTheWindowsTakeThem)
{
    const auto taken = settingsOfProject(twoSeriesProject());
    ASSERT_TRUE(std::holds_alternative<DigitizeSettings>(taken)) << std::get<QString>(taken).toStdString();
    const DigitizeSettings& s = std::get<DigitizeSettings>(taken);
    EXPECT_EQ(s.references.startX, 62.5f);
    EXPECT_EQ(s.references.x1, -2.5);
    EXPECT_EQ(s.references.y1, -40.0);
    EXPECT_EQ(s.references.x2, 7.0);
    EXPECT_EQ(s.references.y2, 1.0);
    EXPECT_EQ(s.references.mode, digitize::ScaleMode::LogLinear);
    ASSERT_EQ(s.more.size(), 1u);
    EXPECT_EQ(s.more[0].x, 10.0);
    EXPECT_EQ(s.erasures, (std::vector<QRect>{QRect(1, 2, 3, 4), QRect(0, 0, 10, 10)}));
    ASSERT_EQ(s.series.size(), 3u);
    // Named by place where the project names none; the saved colour and its pixel kept.
    EXPECT_EQ(s.series[0].name, "1");
    EXPECT_EQ(s.series[0].at, QPoint(120, 200));
    ASSERT_TRUE(s.series[0].colour.has_value());
    EXPECT_EQ(s.series[0].colour->tolerance, 30);
    EXPECT_EQ(s.series[1].rule, results::SeriesRule::Markers);
    EXPECT_EQ(s.series[1].at, QPoint(90, 80));
    EXPECT_EQ(s.series[2].name, "darkest");
    EXPECT_FALSE(s.series[2].colour.has_value());
}

TEST(ProjectOption, RefusedWhereTheWindowsCouldNotDigitize)
{
    const auto refusal = [](void (*change)(project::Project&)) {
        project::Project p = twoSeriesProject();
        change(p);
        const auto taken = settingsOfProject(p);
        return std::holds_alternative<QString>(taken) ? std::get<QString>(taken) : QString();
    };
    EXPECT_EQ(refusal([](project::Project& p) { p.start.reset(); }), "it has no start point");
    EXPECT_EQ(refusal([](project::Project& p) { p.end->column = 1005; }), "its end point lies off the image area");
    EXPECT_EQ(refusal([](project::Project& p) { p.texts[1].clear(); }), "its start Y is empty");
    EXPECT_EQ(refusal([](project::Project& p) { p.more[0].y.clear(); }), "its reference point 3 has an empty value");
    EXPECT_EQ(refusal([](project::Project& p) { p.more[0].at.row = -1; }),
              "its reference point 3 lies off the image area");
}

TEST(ProjectOption, OnlyARegularFileIsRead)
{
    QTemporaryDir root;
    const QDir disk(root.path());
    QFile file(disk.filePath("p.vdproj"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("{}") == 2);
    file.close();
    EXPECT_EQ(std::get<QByteArray>(projectFileBytes(file.fileName())), "{}");
    EXPECT_EQ(std::get<QString>(projectFileBytes(root.path())), "it is a folder");
    EXPECT_EQ(std::get<QString>(projectFileBytes("/dev/zero")), "it is not a regular file");
    EXPECT_EQ(std::get<QString>(projectFileBytes(disk.filePath("none"))), "No such file or directory");
}

}  // namespace
