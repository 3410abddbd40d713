#include "engine/results/CsvFile.h"

#include "engine/results/RowText.h"

#include <QFile>
#include <QFileInfo>

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

}  // namespace

CsvFileOutcome writeCsvFile(const QString& folder, const QString& name, std::span<const GraphPoint> points)
{
    return writeNamedFile(folder, name, QStringLiteral(".csv"), csvText(points));
}

CsvFileOutcome writeNamedFile(const QString& folder, const QString& name, const QString& extension,
                              std::string_view bytes)
{
    // "/" + name also serves the root folder: a doubled separator reads as one.
    CsvFileOutcome outcome{folder + QLatin1Char('/') + name + extension, {}};
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

    if (const std::optional<QString> systemReason = writeWholeFile(outcome.path, bytes))
        outcome.failure = writeFailure(folder, outcome.path, *systemReason);
    return outcome;
}

}  // namespace vastrel::results
