#include "shell/drive_list.h"

#include <QAbstractItemView>
#include <QDir>
#include <QScrollBar>
#include <algorithm>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include "bench/drive_root.h"
#include "bench/file_layer.h"

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

// The system's own run-time trees, even when they are mounted from tmpfs;
// removable drives under /run/media (where some systems mount them) stay.
bool IsSystemTree(const QString& root) {
    if (root.startsWith(QLatin1String("/run/media/"))) return false;
    for (const char* tree : {"/proc", "/sys", "/dev", "/run"}) {
        const QString prefix = QString::fromLatin1(tree);
        if (root == prefix || root.startsWith(prefix + QLatin1Char('/'))) return true;
    }
    return false;
}

QString VolumeName(const MountedVolume& volume) {
    if (!volume.label.isEmpty()) return volume.label;
    const QString device = QString::fromLocal8Bit(volume.device);
    return device.startsWith(QLatin1String("/dev/")) ? QFileInfo(device).fileName() : device;
}
#endif

// The folder an entry tests, by which lists are ordered.
QString FolderOf(const QString& entry) {
    return QString::fromStdString(bench::DriveRootFromEntry(entry.toStdString()));
}

QVariant VolumeData(const std::optional<std::uint64_t>& volume) {
    return volume ? QVariant::fromValue<qulonglong>(*volume) : QVariant();
}

}  // namespace

DriveEntries DriveEntriesFor(const QList<MountedVolume>& volumes, const QString& homeDirectory,
                             const QString& homeRoot, const QString& currentRoot) {
    DriveEntries drives;
#ifndef _WIN32
    // By folder, not by mount order, so that a drive mounted again keeps its place.
    struct Row {
        QString entry;
        std::optional<std::uint64_t> volume;
        bool current;
    };
    std::vector<Row> rows;
    QSet<QString> seen;
    for (const MountedVolume& volume : volumes) {
        if (IsPseudoFileSystem(volume.type) || IsSystemTree(volume.root) || !volume.isDirectory ||
            seen.contains(volume.root)) {
            continue;
        }
        seen.insert(volume.root);
        // The mount point of the home file system is rarely writable by the user.
        const QString directory = volume.root == homeRoot ? homeDirectory : volume.root;
        rows.push_back({QString::fromStdString(bench::DirectoryEntry(
                            directory.toStdString(), VolumeName(volume).toStdString())),
                        volume.volume, volume.root == currentRoot});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return FolderOf(a.entry) < FolderOf(b.entry);
    });
    for (const Row& row : rows) {
        if (row.current) drives.current = static_cast<int>(drives.entries.size());
        drives.entries.append(row.entry);
        drives.volumes.push_back(row.volume);
    }
#else
    Q_UNUSED(volumes);
    Q_UNUSED(homeDirectory);
    Q_UNUSED(homeRoot);
    Q_UNUSED(currentRoot);
#endif
    if (drives.current < 0 && !drives.entries.isEmpty()) drives.current = 0;
    return drives;
}

DriveEntries ListDrives() {
    const QString here = QStorageInfo(QDir::currentPath()).rootPath();
#ifdef _WIN32
    DriveEntries drives;
    for (const QFileInfo& drive : QDir::drives()) {
        const QString root = drive.absolutePath();  // "C:/"
        QString entry = root.left(2).toLower();
        const QStorageInfo volume(root);
        if (volume.isValid() && !volume.name().isEmpty()) entry += " [" + volume.name() + "]";
        if (root.compare(here, Qt::CaseInsensitive) == 0) {
            drives.current = static_cast<int>(drives.entries.size());
        }
        drives.entries.append(entry);
    }
    if (drives.current < 0 && !drives.entries.isEmpty()) drives.current = 0;
    return drives;
#else
    QList<MountedVolume> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid()) continue;
        std::optional<std::uint64_t> id;
        try {
            id = bench::HostFileLayer().VolumeOf(volume.rootPath().toStdString());
        } catch (const std::exception&) {
            // Listed without: a run then tests whatever is there.
        }
        volumes.append({volume.rootPath(), volume.fileSystemType(), volume.name(), volume.device(),
                        QFileInfo(volume.rootPath()).isDir(), id});
    }
    return DriveEntriesFor(volumes, QDir::homePath(), QStorageInfo(QDir::homePath()).rootPath(),
                           here);
#endif
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // A long entry is cut off in the box: the tooltip shows it whole.
    connect(this, &QComboBox::currentTextChanged, this, &QWidget::setToolTip);
}

void DriveList::SetEntries(const DriveEntries& drives) {
    clear();
    for (qsizetype i = 0; i < drives.entries.size(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        addItem(drives.entries[i],
                at < drives.volumes.size() ? VolumeData(drives.volumes[at]) : QVariant());
    }
    setCurrentIndex(drives.current);
}

QString DriveList::DriveEntry() const { return currentText(); }

std::optional<std::uint64_t> DriveList::DriveVolume() const {
    const QVariant volume = currentData();
    if (!volume.isValid()) return std::nullopt;
    return volume.toULongLong();
}

void DriveList::showPopup() {
    const QString selected = currentText();
    const std::optional<std::uint64_t> volume = DriveVolume();
    const DriveEntries drives = source_ ? source_() : ListDrives();
    SetEntries(drives);
    // The user's choice stays until they make another. A drive mounted again
    // under the same entry is that drive; one that is gone stays listed, in its
    // place by folder, and a run on it says that it cannot be reached.
    if (!selected.isEmpty()) {
        const int listed = findText(selected, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (listed >= 0) {
            setCurrentIndex(listed);
        } else {
            int at = 0;
            while (at < count() && !(FolderOf(selected) < FolderOf(itemText(at)))) ++at;
            insertItem(at, selected, VolumeData(volume));
            setCurrentIndex(at);
        }
    }
    // The open list is as wide as its longest entry, however narrow the box.
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(i)));
    }
    const int margins = 2 * view()->frameWidth() + view()->verticalScrollBar()->sizeHint().width() + 16;
    view()->setMinimumWidth(std::max(width(), widest + margins));
    QComboBox::showPopup();
}

}  // namespace trevalon::shell
