// The digitize command's arguments, where its CSV files go, and its progress
// line: everything decided before and around the images, without running any.

#include "cli/DigitizeArguments.h"
#include "cli/OutputPlan.h"
#include "cli/Progress.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

using namespace vastrel::cli;
using vastrel::digitize::ScaleMode;

namespace {

const QStringList kCalibration = {"--start", "62,398", "--end", "541,37", "--x1", "0",
                                  "--y1",    "0",      "--x2",  "10",     "--y2", "100"};

DigitizeRequest parsed(const QStringList& arguments)
{
    auto result = parseDigitizeArguments(arguments);
    if (const auto* error = std::get_if<ArgumentError>(&result)) ADD_FAILURE() << error->message.toStdString();
    return std::holds_alternative<DigitizeRequest>(result) ? std::get<DigitizeRequest>(result) : DigitizeRequest{};
}

QString mistakeIn(const QStringList& arguments)
{
    auto result = parseDigitizeArguments(arguments);
    return std::holds_alternative<ArgumentError>(result) ? std::get<ArgumentError>(result).message : QString();
}

TEST(DigitizeArguments, TakesEveryOptionInBothForms)
{
    const DigitizeRequest request =
        parsed({"a.png", "--start=62,398", "--end",         " 541 , 37 ",       "--x1", "-2.5",   "--y1=-7,5 V", "--x2",
                "--y2",  "--y2",           "2.6e2",         "--mode=log-log",   "-o",   "-out",   "b.png",       "-j",
                "3",     "--erase",        "560,90,400,40", "--erase=-5,0,5,2", "--",   "--c.png"});
    EXPECT_EQ(request.images, QStringList({"a.png", "b.png", "--c.png"}));
    EXPECT_EQ(request.start, QPoint(62, 398));
    EXPECT_EQ(request.end, QPoint(541, 37));
    // A value is whatever follows, even when it starts with a minus sign or
    // looks like an option.
    EXPECT_EQ(request.x1, "-2.5");
    EXPECT_EQ(request.y1, "-7,5 V");
    EXPECT_EQ(request.x2, "--y2");
    EXPECT_EQ(request.y2, "2.6e2");
    EXPECT_EQ(request.mode, ScaleMode::LogLog);
    EXPECT_EQ(request.output, "-out");
    EXPECT_EQ(request.jobs, 3);
    // Corners in either order, both included, kept in the order given.
    ASSERT_EQ(request.erasures.size(), 2u);
    EXPECT_EQ(request.erasures[0], QRect(QPoint(400, 40), QPoint(560, 90)));
    EXPECT_EQ(request.erasures[1], QRect(QPoint(-5, 0), QPoint(5, 2)));
}

TEST(DigitizeArguments, DefaultsAndModeNames)
{
    const DigitizeRequest request = parsed(QStringList{"a.png"} + kCalibration);
    EXPECT_EQ(request.mode, ScaleMode::LinearLinear);
    EXPECT_EQ(request.jobs, 0);
    EXPECT_TRUE(request.output.isEmpty());
    EXPECT_TRUE(request.erasures.empty());
    EXPECT_FALSE(request.colourAt.has_value());
    EXPECT_EQ(scaleModeNames(), QStringList({"linear-linear", "linear-log", "log-log", "log-linear"}));
    EXPECT_EQ(parsed(QStringList{"a.png", "--mode=log-linear"} + kCalibration).mode, ScaleMode::LogLinear);
    EXPECT_EQ(parsed(QStringList{"a.png", "--colour-at", " 300, 210"} + kCalibration).colourAt, QPoint(300, 210));
    EXPECT_EQ(parsed(QStringList{"a.png", "--mode", "linear-log"} + kCalibration).mode, ScaleMode::LinearLog);
}

TEST(DigitizeArguments, EachMistakeIsNamed)
{
    const QStringList image{"a.png"};
    const struct {
        QStringList arguments;
        const char* mistake;
    } cases[] = {
        {kCalibration, "no image given"},
        {image, "missing --start, --end, --x1, --y1, --x2, --y2"},
        {image + kCalibration + QStringList{"--start", "1,2"}, "--start is given twice"},
        {image + kCalibration + QStringList{"--colour"}, "unknown option --colour"},
        {image + kCalibration + QStringList{"--jobs"}, "--jobs needs a value"},
        {image + kCalibration + QStringList{"--jobs", "0"}, "--jobs needs a whole number from 1 to 256, not \"0\""},
        {image + kCalibration + QStringList{"--mode", "Log-Log"},
         "--mode must be one of linear-linear, linear-log, log-log, log-linear, not \"Log-Log\""},
        {image + kCalibration + QStringList{"--colour-at", "300"},
         "--colour-at needs X,Y in whole pixels, like --colour-at 300,210, not \"300\""},
        {image + kCalibration + QStringList{"--mode=log-log", "--mode=log-log"}, "--mode is given twice"},
        {image + kCalibration + QStringList{"--erase", "1,2,3"},
         "--erase needs X0,Y0,X1,Y1 in whole pixels, like --erase 400,40,560,90, not \"1,2,3\""},
        {image + kCalibration + QStringList{"-o="}, "--output needs a file name, a folder or -, not \"\""},
        {image + kCalibration + QStringList{"-"}, "images cannot be read from standard input; name the files"},
        {QStringList{"a.png", "--start", "62.5,398"} + kCalibration.mid(2),
         "--start needs X,Y in whole pixels, like --start 62,398, not \"62.5,398\""},
        // Only where a press on the image area can be, as in the windows.
        {QStringList{"a.png", "--start", "2000000,1"} + kCalibration.mid(2),
         "--start must lie on the image area, X from 0 to 1004 and Y from 0 to 804, not \"2000000,1\""},
        {image + kCalibration.mid(0, 2) + QStringList{"--end", "1005,0"} + kCalibration.mid(4),
         "--end must lie on the image area, X from 0 to 1004 and Y from 0 to 804, not \"1005,0\""},
        {image + kCalibration + QStringList{"--colour-at", "-1,804"},
         "--colour-at must lie on the image area, X from 0 to 1004 and Y from 0 to 804, not \"-1,804\""},
        // The windows refuse to digitize with an empty box; a blank is a value.
        {QStringList{"a.png", "--x1="} + kCalibration.mid(0, 4) + kCalibration.mid(6),
         "--x1 must not be empty (a blank reads as 0), not \"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(mistakeIn(c.arguments), QString::fromUtf8(c.mistake)) << c.mistake;
    EXPECT_TRUE(mistakeIn(QStringList{"a.png", "--x1", " "} + kCalibration.mid(0, 4) + kCalibration.mid(6)).isEmpty());
}

TEST(DigitizeArguments, SeriesInTheOrderGiven)
{
    using Rule = SeriesRequest::Rule;
    const DigitizeRequest request = parsed(QStringList{"a.png", "--markers", "10,20", "--colour-at=300,210"} +
                                           kCalibration + QStringList{"--markers= 5 , 6", "--colour-at", "7,8"});
    EXPECT_EQ(request.series, std::vector<SeriesRequest>({{Rule::Markers, QPoint(10, 20)},
                                                          {Rule::Colour, QPoint(300, 210)},
                                                          {Rule::Markers, QPoint(5, 6)},
                                                          {Rule::Colour, QPoint(7, 8)}}));
    // The one-curve run is for a lone --colour-at only.
    EXPECT_FALSE(request.colourAt.has_value());
    EXPECT_FALSE(parsed(QStringList{"a.png", "--markers", "1,2"} + kCalibration).colourAt.has_value());
    EXPECT_EQ(parsed(QStringList{"a.png", "--colour-at", "1,2"} + kCalibration).series,
              std::vector<SeriesRequest>({{Rule::Colour, QPoint(1, 2)}}));
    EXPECT_TRUE(parsed(QStringList{"a.png"} + kCalibration).series.empty());

    const QStringList image{"a.png"};
    EXPECT_EQ(mistakeIn(image + kCalibration + QStringList{"--markers", "300"}),
              "--markers needs X,Y in whole pixels, like --markers 300,210, not \"300\"");
    EXPECT_EQ(mistakeIn(image + kCalibration + QStringList{"--colour-at", "1,2", "--markers", "0,805"}),
              "--markers must lie on the image area, X from 0 to 1004 and Y from 0 to 804, not \"0,805\"");
    EXPECT_EQ(mistakeIn(image + kCalibration + QStringList{"--colour-at", "1,2", "--colour-at", "x"}),
              "--colour-at needs X,Y in whole pixels, like --colour-at 300,210, not \"x\"");
    EXPECT_EQ(mistakeIn(image + kCalibration + QStringList{"--markers"}), "--markers needs a value");
}

TEST(DigitizeArguments, ReferencePointsBesideTheCorners)
{
    const DigitizeRequest request =
        parsed(QStringList{"a.png", "--ref", "62.5,37,0,1e3", "--frame-corners", "--ref= 541 ,398.25, -2,+1.5"} +
               kCalibration);
    ASSERT_EQ(request.references.size(), 2u);
    EXPECT_EQ(request.references[0].column, 62.5);
    EXPECT_EQ(request.references[0].row, 37.0);
    EXPECT_EQ(request.references[0].y, 1000.0);
    EXPECT_EQ(request.references[1].row, 398.25);
    EXPECT_EQ(request.references[1].x, -2.0);
    EXPECT_EQ(request.references[1].y, 1.5);
    EXPECT_TRUE(request.frameCorners);
    EXPECT_FALSE(parsed(QStringList{"a.png"} + kCalibration).frameCorners);

    const QString wrong = "--ref needs COL,ROW,X,Y: the pixel and its graph values as plain numbers, like --ref "
                          "62.5,37,0,100, not \"%1\"";
    // What a box would read ("12 V", "7,5") is no plain number here.
    for (const char* value : {"1,2,3", "1,2,3,4,5", "1,2,3,12 V", "1,2,x,4", "1,2,3,1e999", ",2,3,4"})
        EXPECT_EQ(mistakeIn(QStringList{"a.png", "--ref", value} + kCalibration), wrong.arg(value)) << value;
    EXPECT_EQ(mistakeIn(QStringList{"a.png", "--ref", "1005,2,3,4"} + kCalibration),
              "--ref must lie on the image area, COL from 0 to 1004 and ROW from 0 to 804, not \"1005,2,3,4\"");
    EXPECT_EQ(mistakeIn(QStringList{"a.png", "--frame-corners=yes"} + kCalibration), "--frame-corners takes no value");
    EXPECT_EQ(mistakeIn(QStringList{"a.png", "--frame-corners", "--frame-corners"} + kCalibration),
              "--frame-corners is given twice");
}

TEST(DigitizeArguments, HelpOnlyWhereAnOptionCanStand)
{
    for (const char* help : {"--help", "-h"}) {
        EXPECT_TRUE(std::holds_alternative<HelpWanted>(parseDigitizeArguments({"a.png", help, "--start"})));
        EXPECT_EQ(parsed(QStringList{"a.png", "--x1", help} + kCalibration.mid(0, 4) + kCalibration.mid(6)).x1, help);
        EXPECT_EQ(parsed(kCalibration + QStringList{"--", help}).images, QStringList{help});
    }
}

// A file system of a few known paths.
PathKindOf pretend(const QSet<QString>& folders, const QSet<QString>& files)
{
    return [=](const QString& path) {
        if (folders.contains(path)) return PathKind::Folder;
        return files.contains(path) ? PathKind::Other : PathKind::Missing;
    };
}

std::vector<std::pair<QString, QString>> tasksOf(const QStringList& images, const QString& output,
                                                 const PathKindOf& kindOf, QString* folder = nullptr)
{
    DigitizeRequest request;
    request.images = images;
    request.output = output;
    auto planned = planOutputs(request, kindOf);
    if (const auto* error = std::get_if<ArgumentError>(&planned)) return {{"error", error->message}};
    std::vector<std::pair<QString, QString>> tasks;
    for (const ImageTask& task : std::get<OutputPlan>(planned).tasks) tasks.emplace_back(task.image, task.output);
    if (folder) *folder = std::get<OutputPlan>(planned).folder;
    return tasks;
}

using Tasks = std::vector<std::pair<QString, QString>>;

TEST(OutputPlan, OneImageGoesToAFileStandardOutputOrAFolder)
{
    const PathKindOf disk = pretend({"results"}, {"old.csv"});
    QString folder;
    EXPECT_EQ(tasksOf({"a/graph.png"}, "", disk), Tasks({{"a/graph.png", ""}}));
    EXPECT_EQ(tasksOf({"a/graph.png"}, "-", disk), Tasks({{"a/graph.png", ""}}));
    EXPECT_EQ(tasksOf({"a/graph.png"}, "old.csv", disk, &folder), Tasks({{"a/graph.png", "old.csv"}}));
    EXPECT_TRUE(folder.isEmpty());
    EXPECT_EQ(tasksOf({"a/graph.png"}, "new", disk), Tasks({{"a/graph.png", "new"}}));
    EXPECT_EQ(tasksOf({"a/graph.png"}, "results", disk, &folder), Tasks({{"a/graph.png", "results/graph.csv"}}));
    EXPECT_EQ(folder, "results");
    EXPECT_EQ(tasksOf({"a/graph.png"}, "made/", disk, &folder), Tasks({{"a/graph.png", "made/graph.csv"}}));
    EXPECT_EQ(folder, "made/");
}

TEST(OutputPlan, SeveralImagesNeedAFolderAndDistinctNames)
{
    const PathKindOf disk = pretend({"results"}, {"old.csv"});
    QString folder;
    EXPECT_EQ(tasksOf({"graph.png", "b/scan.2.JPG", "c/graph.tif.gif"}, "new", disk, &folder),
              Tasks({{"graph.png", "new/graph.csv"},
                     {"b/scan.2.JPG", "new/scan.2.csv"},
                     {"c/graph.tif.gif", "new/graph.tif.csv"}}));
    EXPECT_EQ(folder, "new");
    EXPECT_EQ(tasksOf({"a.png", "b.png"}, "-", disk), Tasks({{"error", "2 images need -o FOLDER, one CSV file each"}}));
    EXPECT_EQ(tasksOf({"a.png", "b.png"}, "old.csv", disk),
              Tasks({{"error", "-o old.csv is not a folder; several images need one"}}));
    EXPECT_EQ(tasksOf({"b.png", "b.png"}, "results", disk),
              Tasks({{"error", "b.png and b.png would both be written to results/b.csv"}}));
    // Whatever the way of naming it, an image is never written over.
    EXPECT_EQ(tasksOf({"./a/graph.png"}, "a/../a/graph.png", disk),
              Tasks({{"error", "the CSV of ./a/graph.png would replace the image itself"}}));
    EXPECT_EQ(tasksOf({"results/x.csv", "y.png"}, "results", disk),
              Tasks({{"error", "the CSV of results/x.csv would replace the image itself"}}));
}

TEST(OutputPlan, AnImageReachedThroughALinkIsNeverWrittenOver)
{
    QTemporaryDir root;
    const QDir disk(root.path());
    ASSERT_TRUE(disk.mkpath("real"));
    for (const char* name : {"real/graph.png", "real/x.csv"}) {
        QFile file(disk.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::link(disk.filePath("real/graph.png"), disk.filePath("link.png")));
    ASSERT_TRUE(QFile::link(disk.filePath("real"), disk.filePath("linked")));
    const QString graph = disk.filePath("real/graph.png"), table = disk.filePath("real/x.csv");
    EXPECT_EQ(tasksOf({graph}, disk.filePath("link.png"), pathKindOnDisk),
              Tasks({{"error", QStringLiteral("the CSV of %1 would replace the image itself").arg(graph)}}));
    EXPECT_EQ(tasksOf({table, graph}, disk.filePath("linked"), pathKindOnDisk),
              Tasks({{"error", QStringLiteral("the CSV of %1 would replace the image itself").arg(table)}}));
    EXPECT_EQ(tasksOf({graph}, disk.filePath("linked/graph.csv"), pathKindOnDisk),
              Tasks({{graph, disk.filePath("linked/graph.csv")}}));
}

TEST(Progress, CountRateAndTimeLeft)
{
    EXPECT_EQ(progressLine(0, 200, 0.0), "0/200 images");
    EXPECT_EQ(progressLine(0, 200, 3.0), "0/200 images");
    EXPECT_EQ(progressLine(37, 200, 3.0), "37/200 images  12.3 images/s  0:14 left");
    EXPECT_EQ(progressLine(1, 5000, 1.0), "1/5000 images  1.0 images/s  1:23:19 left");
    EXPECT_EQ(progressLine(200, 200, 4.4), "200/200 images  45.5 images/s  done in 0:04");
}

}  // namespace
