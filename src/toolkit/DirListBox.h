#pragma once
// The directory box: the chain of folders from "/" down to the shown folder,
// then that folder's subfolders, one level deeper. Opening a row (double-click
// or Enter) makes it the shown folder.

#include <QListWidget>
#include <QString>
#include <QStringList>

class QKeyEvent;

namespace vastrel::tk {

// Why `path` cannot be listed as a folder, in words for the user; empty when it can.
QString folderRefusal(const QString& path);

// Sorts file and folder names as the boxes show them: case-insensitively, with
// names differing only in case kept in a fixed order.
void sortByName(QStringList& names);

class DirListBox : public QListWidget {
    Q_OBJECT

public:
    // Starts in the process's current directory.
    explicit DirListBox(QWidget* parent = nullptr);

    // Absolute and clean.
    QString Path() const;

    // Shows `path` (relative paths are taken from the shown folder) and raises
    // Change when it differs from the shown one. A folder that cannot be
    // listed changes nothing and returns false.
    bool setPath(const QString& path);

signals:
    void Change();
    // The user opened a row whose folder cannot be listed; the box is unchanged.
    void PathRefused(const QString& path, const QString& reason);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Empty on success, the refusal otherwise.
    QString open(const QString& path);
    void openRow(const QListWidgetItem* item);
    void fill();
    void addRow(const QString& text, const QString& path, int depth, const QIcon& icon);

    QString path_;
};

}  // namespace vastrel::tk
