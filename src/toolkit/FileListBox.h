#pragma once
// The file box: the regular, non-hidden files of one folder whose names match
// a pattern, sorted by name. Click tells the window that the user selected
// another file.

#include <QListWidget>
#include <QString>

namespace vastrel::tk {

class FileListBox : public QListWidget {
    Q_OBJECT

public:
    // Starts in the process's current directory, listing every file.
    explicit FileListBox(QWidget* parent = nullptr);

    QString Path() const;

    // Lists `path` (relative paths are taken from the shown folder) with
    // nothing selected. A folder that cannot be listed changes nothing and
    // returns false.
    bool setPath(const QString& path);

    // Globs separated by ';' ("*.jpg;*.bmp"), matched regardless of case.
    QString Pattern() const;
    void setPattern(const QString& pattern);
    bool matchesPattern(const QString& name) const;

    // The selected file's name without folder, or "" when none is selected.
    QString FileName() const;

    // Re-reads the folder; the selected file stays selected while it exists.
    void Refresh();

    // Selects the listed file `name` (exact case) without raising Click;
    // false, and the selection unchanged, when it is not listed.
    bool selectListed(const QString& name);

signals:
    // The user selected another file (mouse or keyboard); never raised by the
    // calls above, nor when the user leaves nothing selected.
    void Click();

protected:
    // With nothing selected, Down selects the first file, as Space does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringList globs() const;
    void fill(const QString& keptName);
    void selectionChangedByUser();

    QString path_;
    QString pattern_ = QStringLiteral("*");
    bool filling_ = false;
};

}  // namespace vastrel::tk
