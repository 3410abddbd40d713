#pragma once
// A project saved in the windows, taken by --project for every image: its
// two picks with their four texts read as the coordinate boxes read them,
// its added reference points, its scale mode, its erasures in order, and
// each series' rule, colour and name. The points kept with the series are
// not taken, corrected by hand or not: each image gives its own.

#include "cli/DigitizeArguments.h"
#include "cli/ImageJob.h"
#include "engine/project/Project.h"

#include <QByteArray>
#include <QString>
#include <variant>

namespace vastrel::cli {

// The settings of the project named by --project, with the request's format;
// a file that is no regular one, too large, unreadable or no sound project is
// refused in one line naming it and why.
std::variant<DigitizeSettings, ArgumentError> projectSettings(const DigitizeRequest& request);

// The settings a project read stands for, or why it cannot be digitized
// with (a pick or a value missing, a pick off the image area).
std::variant<DigitizeSettings, QString> settingsOfProject(const project::Project& project);

// The bytes of a project file, read as untrusted input: a regular file only,
// opened without waiting for a FIFO's writer, at most kMaxProjectBytes; or why not.
std::variant<QByteArray, QString> projectFileBytes(const QString& path);

}  // namespace vastrel::cli
