#include "engine/results/WholeFile.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vastrel::results {

namespace {

QString systemWords(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

// The file a chain of links ends at, as a replacing writer must see it: the
// link itself stays and leads to the new file. A broken link's target is
// where the file goes.
QByteArray followedLinks(QByteArray path)
{
    for (int depth = 0; depth < 40; ++depth) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.constData(), target, sizeof target - 1);
        if (length <= 0) return path;
        const QByteArray next(target, length);
        path = next.startsWith('/') ? next : folderOf(path) + '/' + next;
    }
    return path;
}

// Writes on after a short write, so that what stopped it (a full disk) is
// reported by the write that fails, in the system's words.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::optional<QString> writeIntoSpecialFile(const QByteArray& path, std::string_view bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return systemWords(errno);
    const int error = writeAll(fd, bytes);
    const bool closed = ::close(fd) == 0 || errno == EINTR;
    if (error != 0) return systemWords(error);
    if (!closed) return systemWords(errno);
    return std::nullopt;
}

// A name beside `path` that no other writer in this or another process uses.
QByteArray scratchNameFor(const QByteArray& path)
{
    static std::atomic<unsigned> counter{0};
    return path + '.' + QByteArray::number(::getpid()) + '.' + QByteArray::number(counter.fetch_add(1)) + ".part";
}

}  // namespace

std::optional<QString> writeWholeFile(const QByteArray& named, std::string_view bytes, SpecialTarget special)
{
    const QByteArray path = followedLinks(named);
    struct stat existing {};
    const bool exists = ::stat(path.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return systemWords(EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) {
        // Renaming a finished file over a device or a pipe would unlink it.
        if (special == SpecialTarget::WriteInto) return writeIntoSpecialFile(path, bytes);
        return QStringLiteral("it is not a regular file (a pipe or a device), and is left as it is");
    }
    // A file its owner made read-only is not replaced behind their back.
    if (exists && ::access(path.constData(), W_OK) != 0) return systemWords(errno);

    const QByteArray scratch = scratchNameFor(path);
    const int fd = ::open(scratch.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return systemWords(errno);
    if (exists) ::fchmod(fd, existing.st_mode & 07777);
    int error = writeAll(fd, bytes);
    // On disk before it takes the old file's place, so that a crash cannot
    // leave an empty file where the old one was.
    if (error == 0 && ::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS) error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    if (error == 0 && ::rename(scratch.constData(), path.constData()) != 0) error = errno;
    if (error == 0) return std::nullopt;
    ::unlink(scratch.constData());
    return systemWords(error);
}

std::optional<QString> writeWholeFile(const QString& path, std::string_view bytes)
{
    return writeWholeFile(QFile::encodeName(path), bytes);
}

}  // namespace vastrel::results
