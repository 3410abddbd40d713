// The all-or-nothing writer behind the save dialog and the command line: a
// failure part-way must leave the old file as it was, and a device or a pipe
// named as the target must be written to, never replaced.

#include "engine/results/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using vastrel::results::writeWholeFile;

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

std::string manyLines()
{
    std::string text = "X,Y\r\n";
    while (text.size() < 15000) text += "1.234E+00,5.678E+01\r\n";
    return text;
}

// Lets the process write files of at most `bytes` for as long as it lives, as
// a nearly full disk would: a longer write fails with EFBIG instead of a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedHandler_);
    }

private:
    rlimit saved_{};
    void (*savedHandler_)(int) = nullptr;
};

}  // namespace

TEST(WholeFile, WritesANewFileAndReplacesAnOldOneWhole)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("points.csv");
    const std::string text = manyLines();
    EXPECT_EQ(writeWholeFile(path, "old\r\n"), std::nullopt);
    EXPECT_EQ(writeWholeFile(path, text), std::nullopt);
    EXPECT_EQ(contentsOf(path), QByteArray::fromStdString(text));
}

TEST(WholeFile, AWriteThatRunsOutOfSpaceLeavesTheOldFileAndSaysSo)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("points.csv");
    writeFile(path, "old contents\r\n");
    std::optional<QString> failure;
    {
        const FileSizeLimit nearlyFull(4096);
        failure = writeWholeFile(path, manyLines());
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, QString::fromLocal8Bit(std::strerror(EFBIG)));  // the system's words, not "Unknown error"
    EXPECT_EQ(contentsOf(path), QByteArray("old contents\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"points.csv"});
}

TEST(WholeFile, APipeIsWrittenToAndStaysAPipe)
{
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath("pipe"));
    ASSERT_EQ(mkfifo(path.constData(), 0600), 0);
    // The reader is there before the writer, as a program waiting on the pipe
    // would be; what is written fits the pipe's buffer, so nothing blocks.
    const int reader = open(path.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const std::string text = manyLines();
    EXPECT_EQ(writeWholeFile(QFile::decodeName(path), text), std::nullopt);
    std::string received(text.size() + 1, '\0');
    const ssize_t count = read(reader, received.data(), received.size());
    close(reader);
    EXPECT_EQ(received.substr(0, static_cast<std::size_t>(std::max<ssize_t>(count, 0))), text);
    struct stat status {};
    ASSERT_EQ(stat(path.constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST(WholeFile, ALinkLeadsToTheFileReplacedAndAReadOnlyFileIsLeftAlone)
{
    QTemporaryDir folder;
    const QString target = folder.filePath("target.csv"), link = folder.filePath("link.csv");
    writeFile(target, "old\r\n");
    ASSERT_TRUE(QFile::link("target.csv", link));
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    EXPECT_EQ(writeWholeFile(link, "new\r\n"), std::nullopt);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contentsOf(target), QByteArray("new\r\n"));
    EXPECT_EQ(QFile::permissions(target), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::ReadUser |
                                              QFile::WriteUser);

    if (geteuid() != 0) {  // root may write anything
        ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner));
        EXPECT_EQ(writeWholeFile(target, "newer\r\n"), QString::fromLocal8Bit(std::strerror(EACCES)));
        EXPECT_EQ(contentsOf(target), QByteArray("new\r\n"));
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
}

TEST(WholeFile, NamesAreTheFileSystemsBytesAndAPipeCanBeLeftAlone)
{
    QTemporaryDir folder;
    const QByteArray name = QFile::encodeName(folder.path()) + "/r\xE9sultat.csv";  // Latin-1, no UTF-8
    EXPECT_EQ(writeWholeFile(name, "x\r\n"), std::nullopt);
    struct stat status {};
    EXPECT_EQ(stat(name.constData(), &status), 0);
    unlink(name.constData());  // a name Qt's own removal cannot spell

    const QByteArray pipe = QFile::encodeName(folder.filePath("pipe.csv"));
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    // No reader waits: writing into it would never end.
    const auto refused = writeWholeFile(pipe, "x\r\n", vastrel::results::SpecialTarget::Refuse);
    ASSERT_TRUE(refused.has_value());
    EXPECT_TRUE(refused->contains(QStringLiteral("not a regular file")));
    ASSERT_EQ(stat(pipe.constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}
