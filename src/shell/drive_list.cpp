#include "shell/drive_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

namespace trevalon::shell {

namespace {

#ifndef _WIN32
// File systems that hold no files of anyone's.
bool IsPseudoFileSystem(const QByteArray& type) {
    static const QSet<QByteArray> pseudo = {
        "proc",      "sysfs",       "devtmpfs", "devpts",   "cgroup",   "cgroup2",
        "securityfs", "pstore",     "debugfs",  "tracefs",  "configfs", "fusectl",
        "mqueue",    "hugetlbfs",   "bpf",      "autofs",   "binfmt_misc", "efivarfs",
        "rpc_pipefs", "nsfs",       "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal"};
    return pseudo.contains(type);
}

// The system's own run-time trees, even when they are mounted from tmpfs.
bool IsSystemTree(const QString& root) {
    for (const char* tree : {"/proc", "/sys", "/dev", "/run"}) {
        const QString prefix = QString::fromLatin1(tree);
        if (root == prefix || root.startsWith(prefix + QLatin1Char('/'))) return true;
    }
    return false;
}

QString VolumeName(const QStorageInfo& volume) {
    if (!volume.name().isEmpty()) return volume.name();
    const QString device = QString::fromLocal8Bit(volume.device());
    return device.startsWith(QLatin1String("/dev/")) ? QFileInfo(device).fileName() : device;
}
#endif

}  // namespace

DriveEntries ListDrives() {
    DriveEntries drives;
    const QString here = QStorageInfo(QDir::currentPath()).rootPath();
#ifdef _WIN32
    for (const QFileInfo& drive : QDir::drives()) {
        const QString root = drive.absolutePath();  // "C:/"
        QString entry = root.left(2).toLower();
        const QStorageInfo volume(root);
        if (volume.isValid() && !volume.name().isEmpty()) entry += " [" + volume.name() + "]";
        if (root.compare(here, Qt::CaseInsensitive) == 0) drives.current = drives.entries.size();
        drives.entries.append(entry);
    }
#else
    // The home directory stands for its file system: the mount point is rarely
    // writable by the user.
    const QString homeRoot = QStorageInfo(QDir::homePath()).rootPath();
    QSet<QString> seen;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || IsPseudoFileSystem(volume.fileSystemType()) ||
            IsSystemTree(root) || !QFileInfo(root).isDir() || seen.contains(root)) {
            continue;
        }
        seen.insert(root);
        const QString directory = root == homeRoot ? QDir::homePath() : root;
        if (root == here) drives.current = static_cast<int>(drives.entries.size());
        drives.entries.append(directory + QStringLiteral(" [") + VolumeName(volume) +
                              QStringLiteral("]"));
    }
#endif
    if (drives.current < 0 && !drives.entries.isEmpty()) drives.current = 0;
    return drives;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void DriveList::SetEntries(const DriveEntries& drives) {
    clear();
    addItems(drives.entries);
    setCurrentIndex(drives.current);
}

QString DriveList::DriveEntry() const { return currentText(); }

}  // namespace trevalon::shell
