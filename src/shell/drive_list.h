// A drop-down list of the computer's drives. On Windows an entry is a drive
// letter and colon with the label in brackets; elsewhere it is the directory
// that will be tested, a blank and the label or device in brackets.
#pragma once

#include <QComboBox>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace trevalon::shell {

struct DriveEntries {
    QStringList entries;
    int current = -1;  // the entry of the file system holding the current directory
    // Beside each entry: the file system its directory lay on when listed.
    std::vector<std::optional<std::uint64_t>> volumes;
};

// Mounted file systems that hold files, read-only ones included so that the
// user meets the read-only message rather than a missing drive; by folder.
DriveEntries ListDrives();

// One mounted file system as the host reports it.
struct MountedVolume {
    QString root;          // mount point
    QByteArray type;       // file system type, e.g. "ext4"
    QString label;         // may be empty
    QByteArray device;     // e.g. "/dev/sda1" or "tmpfs"
    bool isDirectory = true;  // a bind-mounted file is no drive
    std::optional<std::uint64_t> volume = std::nullopt;  // bench::FileLayer::VolumeOf the root
};

// The entries for these volumes: `homeDirectory` stands for the volume at
// `homeRoot`, and the list starts on the volume at `currentRoot`.
DriveEntries DriveEntriesFor(const QList<MountedVolume>& volumes, const QString& homeDirectory,
                             const QString& homeRoot, const QString& currentRoot);

class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Replaces the entries (tests hand in entries of their own).
    void SetEntries(const DriveEntries& drives);
    // Where the list reads the drives each time it opens (ListDrives unless set).
    void SetSource(std::function<DriveEntries()> source) { source_ = std::move(source); }
    // Text of the selected entry; empty when there is none.
    QString DriveEntry() const;
    // The file system the selected entry was listed for, when known.
    std::optional<std::uint64_t> DriveVolume() const;

    // Drives come and go: the list is read afresh before it opens, and keeps
    // the selected entry, listed still when its drive is gone. The open list
    // is as wide as its longest entry, however narrow the box.
    void showPopup() override;

private:
    std::function<DriveEntries()> source_;
};

}  // namespace trevalon::shell
