#include "cli/OutputPlan.h"

#include "cli/FileNames.h"

#include <QFileInfo>
#include <QHash>
#include <optional>
#include <sys/stat.h>

namespace vastrel::cli {

PathKind pathKindOnDisk(const QString& path)
{
    struct stat status {};
    if (::stat(fileSystemName(path).constData(), &status) != 0) return PathKind::Missing;
    return S_ISDIR(status.st_mode) ? PathKind::Folder : PathKind::Other;
}

namespace {

// The file a path leads to, by its device and inode, so that a link to an
// image, a linked folder holding one or a second mount of its folder are all
// known for that image. A file not there yet is known by its folder and name.
QString fileReached(const QString& path)
{
    struct stat status {};
    const QByteArray name = fileSystemName(path);
    if (::stat(name.constData(), &status) == 0) return QStringLiteral("%1:%2").arg(status.st_dev).arg(status.st_ino);
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
    if (::stat(folder.constData(), &status) == 0)
        return QStringLiteral("%1:%2/%3").arg(status.st_dev).arg(status.st_ino).arg(argumentText(name.mid(slash + 1)));
    // Neither is there yet: known by the name, written out from the root.
    return QFileInfo(path).absoluteFilePath();
}

// A CSV written over one of the images would destroy it.
std::optional<ArgumentError> overwritesAnImage(const OutputPlan& plan)
{
    for (const ImageTask& task : plan.tasks)
        if (!task.output.isEmpty() && fileReached(task.output) == fileReached(task.image))
            return ArgumentError{
                QStringLiteral("the CSV of %1 would replace the image itself").arg(printableName(task.image))};
    return std::nullopt;
}

// The folder and the file name joined, as the shell would: one slash between.
QString inFolder(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
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
        return ArgumentError{
            QStringLiteral("-o %1 is not a folder; several images need one").arg(printableName(output))};

    plan.folder = output;
    QHash<QString, QString> imageByOutput;
    for (const QString& image : request.images) {
        // Names only: QFileInfo looks at no file for these.
        const QString target = inFolder(output, QFileInfo(image).completeBaseName() + QStringLiteral(".csv"));
        if (const auto earlier = imageByOutput.constFind(target); earlier != imageByOutput.constEnd())
            return ArgumentError{QStringLiteral("%1 and %2 would both be written to %3")
                                     .arg(printableName(*earlier), printableName(image), printableName(target))};
        imageByOutput.insert(target, image);
        plan.tasks.push_back({image, target});
    }
    return checked(plan);
}

}  // namespace vastrel::cli
