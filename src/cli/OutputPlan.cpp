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

// A file written over one of the images, or over the project they are read
// with, would destroy it.
std::optional<ArgumentError> overwritesAnInput(const OutputPlan& plan, const DigitizeRequest& request)
{
    const QString kind = fileKindOf(request.format);
    const QString project = request.project.isEmpty() ? QString() : fileReached(request.project);
    for (const ImageTask& task : plan.tasks) {
        if (task.output.isEmpty()) continue;
        const QString reached = fileReached(task.output);
        if (reached == fileReached(task.image))
            return ArgumentError{
                QStringLiteral("the %1 of %2 would replace the image itself").arg(kind, printableName(task.image))};
        if (reached == project)
            return ArgumentError{QStringLiteral("the %1 of %2 would replace the project %3")
                                     .arg(kind, printableName(task.image), printableName(request.project))};
    }
    return std::nullopt;
}

// The folder and the file name joined, as the shell would: one slash between.
QString inFolder(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

std::variant<OutputPlan, ArgumentError> checked(OutputPlan plan, const DigitizeRequest& request)
{
    if (std::optional<ArgumentError> mistake = overwritesAnInput(plan, request)) return *mistake;
    return plan;
}

}  // namespace

QString fileKindOf(OutputFormat format)
{
    return format == OutputFormat::Json ? QStringLiteral("JSON") : QStringLiteral("CSV");
}

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
        return ArgumentError{QStringLiteral("%1 images need -o FOLDER, one %2 file each")
                                 .arg(request.images.size())
                                 .arg(fileKindOf(request.format))};

    const PathKind kind = kindOf(output);
    const bool namesFolder = kind == PathKind::Folder || output.endsWith(QLatin1Char('/'));
    if (request.images.size() == 1 && !namesFolder) {
        plan.tasks.push_back({request.images.front(), output});
        return checked(plan, request);
    }
    if (kind == PathKind::Other)
        return ArgumentError{
            QStringLiteral("-o %1 is not a folder; several images need one").arg(printableName(output))};

    plan.folder = output;
    const QString extension = request.format == OutputFormat::Json ? QStringLiteral(".json") : QStringLiteral(".csv");
    QHash<QString, QString> imageByOutput;
    for (const QString& image : request.images) {
        // Names only: QFileInfo looks at no file for these.
        const QString target = inFolder(output, QFileInfo(image).completeBaseName() + extension);
        if (const auto earlier = imageByOutput.constFind(target); earlier != imageByOutput.constEnd())
            return ArgumentError{QStringLiteral("%1 and %2 would both be written to %3")
                                     .arg(printableName(*earlier), printableName(image), printableName(target))};
        imageByOutput.insert(target, image);
        plan.tasks.push_back({image, target});
    }
    return checked(plan, request);
}

}  // namespace vastrel::cli
