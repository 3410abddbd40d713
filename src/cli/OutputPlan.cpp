#include "cli/OutputPlan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <optional>
#include <sys/stat.h>

namespace vastrel::cli {

PathKind pathKindOnDisk(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) return PathKind::Missing;
    return info.isDir() ? PathKind::Folder : PathKind::Other;
}

namespace {

// The file a path leads to, by its device and inode, so that a link to an
// image, a linked folder holding one or a second mount of its folder are all
// known for that image. A file not there yet is known by its folder and name.
QString fileReached(const QString& path)
{
    struct stat status {};
    const QFileInfo info(path);
    if (::stat(QFile::encodeName(info.absoluteFilePath()).constData(), &status) == 0)
        return QStringLiteral("%1:%2").arg(status.st_dev).arg(status.st_ino);
    if (::stat(QFile::encodeName(info.absolutePath()).constData(), &status) == 0)
        return QStringLiteral("%1:%2/%3").arg(status.st_dev).arg(status.st_ino).arg(info.fileName());
    return info.absoluteFilePath();
}

// A CSV written over one of the images would destroy it.
std::optional<ArgumentError> overwritesAnImage(const OutputPlan& plan)
{
    for (const ImageTask& task : plan.tasks)
        if (!task.output.isEmpty() && fileReached(task.output) == fileReached(task.image))
            return ArgumentError{QStringLiteral("the CSV of %1 would replace the image itself").arg(task.image)};
    return std::nullopt;
}

std::variant<OutputPlan, ArgumentError> checked(OutputPlan plan)
{
    if (std::optional<ArgumentError> mistake = overwritesAnImage(plan)) return *mistake;
    return plan;
}

}  // namespace

std::variant<OutputPlan, ArgumentError> planOutputs(const DigitizeRequest& request, const PathKindOf& kindOf)
{
    const QString& output = request.output;
    const bool toStandardOutput = output.isEmpty() || output == QLatin1String("-");
    OutputPlan plan;
    if (request.images.size() == 1 && toStandardOutput) {
        plan.tasks.push_back({request.images.front(), {}});
        return plan;
    }
    if (toStandardOutput)
        return ArgumentError{QStringLiteral("%1 images need -o FOLDER, one CSV file each").arg(request.images.size())};

    const PathKind kind = kindOf(output);
    const bool namesFolder = kind == PathKind::Folder || output.endsWith(QLatin1Char('/'));
    if (request.images.size() == 1 && !namesFolder) {
        plan.tasks.push_back({request.images.front(), output});
        return checked(plan);
    }
    if (kind == PathKind::Other)
        return ArgumentError{QStringLiteral("-o %1 is not a folder; several images need one").arg(output)};

    plan.folder = output;
    const QDir folder(output);
    QHash<QString, QString> imageByOutput;
    for (const QString& image : request.images) {
        const QString target = folder.filePath(QFileInfo(image).completeBaseName() + QStringLiteral(".csv"));
        if (const auto earlier = imageByOutput.constFind(target); earlier != imageByOutput.constEnd())
            return ArgumentError{QStringLiteral("%1 and %2 would both be written to %3").arg(*earlier, image, target)};
        imageByOutput.insert(target, image);
        plan.tasks.push_back({image, target});
    }
    return checked(plan);
}

}  // namespace vastrel::cli
