#include "engine/results/CsvFile.h"

#include "engine/results/RowText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vastrel::results {

namespace {

// Why the file could not be written, in the user's words first, then the
// system's own account.
QString writeFailure(const QString& folder, const QString& path, const QString& systemReason)
{
    const QFileInfo folderInfo(folder);
    QString reason;
    if (!folderInfo.exists())
        reason = QStringLiteral("保存先のフォルダーがありません");
    else if (!folderInfo.isDir())
        reason = QStringLiteral("保存先はフォルダーではありません");
    else if (QFileInfo(path).isDir())
        reason = QStringLiteral("同じ名前のフォルダーがあります");
    else
        reason = QStringLiteral("ファイルに書き込めません");
    return systemReason.isEmpty() ? reason : reason + QStringLiteral("（%1）").arg(systemReason);
}

// Writes on after a short write, so that what stopped it (a full disk) is
// reported by the write that fails, in the system's words.
bool writeAll(QFileDevice& file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const qint64 written = file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

CsvFileOutcome writeCsvFile(const QString& folder, const QString& name, std::span<const GraphPoint> points)
{
    // "/" + name also serves the root folder: a doubled separator reads as one.
    CsvFileOutcome outcome{folder + QLatin1Char('/') + name + QStringLiteral(".csv"), {}};
    if (name.contains(QLatin1Char('/'))) {
        outcome.failure = QStringLiteral("ファイル名に「/」は使えません");
        return outcome;
    }
    // The system reads a file name only up to a NUL: the file would get
    // another name than the one shown, and could replace an unrelated file.
    if (name.contains(QChar(u'\0'))) {
        outcome.failure = QStringLiteral("ファイル名に NUL 文字は使えません");
        return outcome;
    }

    if (const std::optional<QString> systemReason = writeWholeFile(outcome.path, csvText(points)))
        outcome.failure = writeFailure(folder, outcome.path, *systemReason);
    return outcome;
}

std::optional<QString> writeWholeFile(const QString& path, std::string_view bytes)
{
    // A device or a pipe (/dev/stdout, a FIFO a reader waits on) cannot be
    // replaced by renaming a finished file over it: that would unlink the
    // device or the pipe. It is written to directly, the one way it can be.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir()) {
        QFile device(path);
        if (device.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(device, bytes)) return std::nullopt;
        return device.errorString();
    }
    // Unbuffered, so that a full disk fails the write itself: a buffered
    // write fails only while committing, and the file would be committed
    // cut short all the same.
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(file, bytes) && file.commit();
    // An uncommitted file is discarded with `file`, the target left untouched.
    if (written) return std::nullopt;
    return file.errorString();
}

}  // namespace vastrel::results
