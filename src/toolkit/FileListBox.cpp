#include "toolkit/FileListBox.h"

#include "toolkit/DirListBox.h"

#include <QDir>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStringList>

namespace vastrel::tk {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent), path_(QDir::currentPath())
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemSelectionChanged, this, &FileListBox::selectionChangedByUser);
    fill({});
}

QString FileListBox::Path() const
{
    return path_;
}

bool FileListBox::setPath(const QString& path)
{
    const QString target = path.isEmpty() ? QString() : QDir::cleanPath(QDir(path_).absoluteFilePath(path));
    if (!folderRefusal(target).isEmpty()) return false;
    path_ = target;
    fill({});
    return true;
}

QString FileListBox::Pattern() const
{
    return pattern_;
}

void FileListBox::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    fill(FileName());
}

QStringList FileListBox::globs() const
{
    QStringList globs;
    for (const QString& glob : pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!glob.trimmed().isEmpty()) globs.append(glob.trimmed());
    }
    if (globs.isEmpty()) globs.append(QStringLiteral("*"));
    return globs;
}

bool FileListBox::matchesPattern(const QString& name) const
{
    // The same matching as the listing: wildcards, regardless of case.
    return QDir::match(globs(), name);
}

QString FileListBox::FileName() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void FileListBox::Refresh()
{
    fill(FileName());
}

bool FileListBox::selectListed(const QString& name)
{
    const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (name.isEmpty() || found.isEmpty()) return false;
    const QScopedValueRollback quiet(filling_, true);
    setCurrentItem(found.first());
    scrollToItem(found.first());
    return true;
}

void FileListBox::fill(const QString& keptName)
{
    const QScopedValueRollback quiet(filling_, true);
    clear();

    // Name filters of QDir ignore case unless told otherwise; without
    // QDir::Hidden and QDir::System, dot files, sockets and devices stay out.
    QStringList names = QDir(path_).entryList(globs(), QDir::Files);
    sortByName(names);
    addItems(names);

    if (keptName.isEmpty()) return;
    const QList<QListWidgetItem*> kept = findItems(keptName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!kept.isEmpty()) setCurrentItem(kept.first());
}

void FileListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Down && selectedItems().isEmpty() && count() > 0) {
        // Qt would move on from the current row, which is the first one
        // without being selected, and so skip the first file.
        setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FileListBox::selectionChangedByUser()
{
    if (!filling_ && !selectedItems().isEmpty()) emit Click();
}

}  // namespace vastrel::tk
