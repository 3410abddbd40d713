#pragma once
// Where the file of each image (its CSV, or with --format json its JSON) goes:
// standard output, the file named by -o, or one file per image in the folder
// named by -o.

#include "cli/DigitizeArguments.h"

#include <QString>
#include <functional>
#include <variant>
#include <vector>

namespace vastrel::cli {

struct ImageTask {
    QString image;
    QString output;  // the image's file; empty for standard output
};

struct OutputPlan {
    std::vector<ImageTask> tasks;  // in the order the images were given
    QString folder;                // made before the run when missing; empty when -o names no folder
};

enum class PathKind { Missing, Folder, Other };

// What lies at a path now; the real file system unless a test says otherwise.
using PathKindOf = std::function<PathKind(const QString& path)>;
PathKind pathKindOnDisk(const QString& path);

// One image goes to -o FILE, into -o FOLDER (an existing folder, or a name
// ending in "/"), or to standard output (-o - or no -o). Several images need a
// folder and are named after themselves, graph.png giving graph.csv (or
// graph.json); two images that would give the same name, or a file that would
// replace an image or the project read, are refused here, before any runs.
// "CSV" or "JSON", as the messages name the files.
QString fileKindOf(OutputFormat format);

std::variant<OutputPlan, ArgumentError> planOutputs(const DigitizeRequest& request,
                                                    const PathKindOf& kindOf = pathKindOnDisk);

}  // namespace vastrel::cli
