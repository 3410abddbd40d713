#pragma once
// The project file (".vdproj"): versioned JSON, written whole, and read as
// untrusted input: anything malformed, of another version, of the wrong
// type, too large or pointing outside its folder is refused with the reason,
// and nothing of it is taken.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

#include "engine/project/Project.h"

namespace vastrel::project {

inline constexpr int kProjectVersion = 1;
// The longest name of a series, in UTF-16 code units.
inline constexpr qsizetype kMaxSeriesName = 256;
inline constexpr const char* kProjectFormat = "vastrel-digitizer project";

// The file's bytes, the same for the same project, so that a project saved,
// opened and saved again is byte for byte what it was.
QByteArray projectJson(const Project& project, const QString& programVersion);

struct ProjectReading {
    std::optional<Project> project;
    QString refusal;  // why the bytes are no project, for the user; empty exactly when project holds one
};

// The largest project file read.
inline constexpr qsizetype kMaxProjectBytes = qsizetype(64) << 20;

ProjectReading readProject(QByteArrayView bytes);

// The names of the scale modes in the file, as the command line names them.
QString modeName(digitize::ScaleMode mode);
std::optional<digitize::ScaleMode> modeNamed(const QString& name);

}  // namespace vastrel::project
