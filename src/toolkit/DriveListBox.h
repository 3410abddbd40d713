#pragma once
// The drive box: the file-system roots a user starts browsing from ("/", the
// mounted volumes a user would recognise, the home folder). Each entry shows
// a readable text and carries its root path.

#include <QComboBox>
#include <QString>

namespace vastrel::tk {

class DriveListBox : public QComboBox {
    Q_OBJECT

public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The folder the directory box should open for the shown entry: the
    // process's current directory when the shown entry holds it (so the boxes
    // start where the program was started), otherwise the entry's root.
    QString Drive() const;

    // Shows the entry holding `path` without raising Change.
    void setDriveOf(const QString& path);

    // Re-reads the mounted volumes. The entry shown stays shown when it is
    // still there; otherwise the entry holding it is shown.
    void refreshDrives();

    // Volumes come and go, so the list is re-read each time it opens.
    void showPopup() override;

signals:
    // The user picked another entry, with the mouse or the keyboard.
    void Change();

private:
    int indexHolding(const QString& path) const;
    void pickedByUser(int index);

    // The root the user last picked or setDriveOf last showed. It outlives its
    // entry when the volume vanishes, so that picking any entry afterwards
    // still counts as a change.
    QString chosenRoot_;
};

}  // namespace vastrel::tk
