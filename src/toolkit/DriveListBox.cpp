#include "toolkit/DriveListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringList>

#include <algorithm>

namespace vastrel::tk {
namespace {

constexpr int RootRole = Qt::UserRole;

// Where desktops and users mount removable and extra volumes.
const QStringList userMountFolders = {QStringLiteral("/media"), QStringLiteral("/mnt"), QStringLiteral("/run/media")};

// System folders whose mounts mean nothing to someone looking for a picture.
const QStringList systemFolders = {QStringLiteral("/proc"),    QStringLiteral("/sys"),  QStringLiteral("/dev"),
                                   QStringLiteral("/run"),     QStringLiteral("/boot"), QStringLiteral("/snap"),
                                   QStringLiteral("/var/snap")};

const QStringList pseudoFileSystems = {
    QStringLiteral("proc"),        QStringLiteral("sysfs"),        QStringLiteral("tmpfs"),
    QStringLiteral("devtmpfs"),    QStringLiteral("devpts"),       QStringLiteral("cgroup"),
    QStringLiteral("cgroup2"),     QStringLiteral("securityfs"),   QStringLiteral("pstore"),
    QStringLiteral("bpf"),         QStringLiteral("debugfs"),      QStringLiteral("tracefs"),
    QStringLiteral("configfs"),    QStringLiteral("fusectl"),      QStringLiteral("hugetlbfs"),
    QStringLiteral("mqueue"),      QStringLiteral("binfmt_misc"),  QStringLiteral("autofs"),
    QStringLiteral("efivarfs"),    QStringLiteral("ramfs"),        QStringLiteral("nsfs"),
    QStringLiteral("rpc_pipefs"),  QStringLiteral("squashfs"),     QStringLiteral("fuse.gvfsd-fuse"),
    QStringLiteral("fuse.portal"), QStringLiteral("fuse.snapfuse")};

const QStringList networkFileSystems = {QStringLiteral("nfs"), QStringLiteral("nfs4"), QStringLiteral("cifs"),
                                        QStringLiteral("smb3"), QStringLiteral("fuse.sshfs")};

// True when `path` is `root` or lies below it, component by component, so
// that "/media/usb" does not hold "/media/usb2".
bool holds(const QString& root, const QString& path)
{
    if (root == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

bool underAny(const QString& path, const QStringList& folders)
{
    return std::any_of(folders.begin(), folders.end(), [&](const QString& folder) { return holds(folder, path); });
}

// Symbolic links would otherwise hide that the current directory lies on an entry.
QString comparablePath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool isUserVolume(const QStorageInfo& volume)
{
    const QString root = volume.rootPath();
    const QString type = QString::fromLatin1(volume.fileSystemType());
    if (!volume.isValid() || !volume.isReady() || root == QLatin1String("/")) return false;
    if (pseudoFileSystems.contains(type) || !QFileInfo(root).isDir()) return false;
    if (underAny(root, userMountFolders)) return true;
    if (underAny(root, systemFolders)) return false;
    const QByteArray device = volume.device();
    const bool blockDevice = device.startsWith("/dev/") && !device.startsWith("/dev/loop");
    return blockDevice || networkFileSystems.contains(type);
}

QList<QStorageInfo> userVolumes()
{
    QList<QStorageInfo> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const bool listed = std::any_of(volumes.begin(), volumes.end(),
                                        [&](const QStorageInfo& v) { return v.rootPath() == volume.rootPath(); });
        if (!listed && isUserVolume(volume)) volumes.append(volume);
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const QStorageInfo& a, const QStorageInfo& b) { return a.rootPath() < b.rootPath(); });
    return volumes;
}

QString volumeText(const QStorageInfo& volume)
{
    const QString label = volume.name();
    return label.isEmpty() ? volume.rootPath() : QStringLiteral("%1  [%2]").arg(volume.rootPath(), label);
}

}  // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, &DriveListBox::pickedByUser);
    refreshDrives();
    chosenRoot_ = currentData(RootRole).toString();
}

QString DriveListBox::Drive() const
{
    const QString cwd = QDir::currentPath();
    if (currentIndex() >= 0 && currentIndex() == indexHolding(cwd)) return cwd;
    return currentData(RootRole).toString();
}

void DriveListBox::setDriveOf(const QString& path)
{
    const int index = indexHolding(path);
    if (index < 0) return;
    setCurrentIndex(index);
    chosenRoot_ = itemData(index, RootRole).toString();
}

void DriveListBox::refreshDrives()
{
    clear();
    addItem(QStringLiteral("/"), QStringLiteral("/"));
    for (const QStorageInfo& volume : userVolumes()) addItem(volumeText(volume), volume.rootPath());
    const QString home = QDir::cleanPath(QDir::homePath());
    if (findData(home, RootRole) < 0) addItem(QStringLiteral("ホーム  (%1)").arg(home), home);

    setCurrentIndex(indexHolding(chosenRoot_.isEmpty() ? QDir::currentPath() : chosenRoot_));
}

void DriveListBox::showPopup()
{
    refreshDrives();
    QComboBox::showPopup();
}

int DriveListBox::indexHolding(const QString& path) const
{
    const QString target = comparablePath(path);
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = comparablePath(itemData(i, RootRole).toString());
        if (holds(root, target) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void DriveListBox::pickedByUser(int index)
{
    const QString root = itemData(index, RootRole).toString();
    if (root == chosenRoot_) return;
    chosenRoot_ = root;
    emit Change();
}

}  // namespace vastrel::tk
