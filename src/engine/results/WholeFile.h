#pragma once
// Writing a file all or nothing: it is completed beside its target and then
// takes the target's place, so that a failure half-way (a full disk, a
// file-size limit) leaves an existing file of that name as it was.

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

namespace vastrel::results {

// What becomes of a target that is neither a regular file nor a folder.
enum class SpecialTarget {
    WriteInto,  // a device or a pipe named as the target (/dev/stdout, a FIFO a reader waits on) is written to
    Refuse,     // the file is written only as a regular file; anything else in its place is left alone
};

// Writes `bytes` as the file `path`, named in the file system's own bytes. A
// link is followed, and the file it leads to replaced; an existing file keeps
// its permissions. Returns the system's account of why the file could not be
// written; nothing when it was.
std::optional<QString> writeWholeFile(const QByteArray& path, std::string_view bytes,
                                      SpecialTarget special = SpecialTarget::WriteInto);

// The same for a path in Qt's own file names.
std::optional<QString> writeWholeFile(const QString& path, std::string_view bytes);

}  // namespace vastrel::results
