#include "bench/drive_root.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trevalon::bench {
namespace {

TEST(DriveRootFromEntry, DriveLetterEntriesGiveLetterColonBackslash) {
    EXPECT_EQ(DriveRootFromEntry("C:"), "C:\\");
    EXPECT_EQ(DriveRootFromEntry("c: [SYSTEM]"), "c:\\");
    EXPECT_EQ(DriveRootFromEntry("a: FLOPPY DISK"), "a:\\");
    // A leading blank is the first blank: the fallback takes the whole entry.
    EXPECT_EQ(DriveRootFromEntry(" D:"), "D:\\");
}

TEST(DriveRootFromEntry, EmptyOrBlankEntriesNameNoDrive) {
    EXPECT_EQ(DriveRootFromEntry(""), "\\");
    EXPECT_EQ(DriveRootFromEntry("   "), "\\");
    EXPECT_EQ(kNoDriveRoot, "\\");
}

TEST(DriveRootFromEntry, DirectoryEntriesKeepBlanksAndDropTheLabel) {
    EXPECT_EQ(DriveRootFromEntry("/media/ann/USB STICK [USB STICK]"), "/media/ann/USB STICK/");
    EXPECT_EQ(DriveRootFromEntry("/home/ann [nvme0n1p2]"), "/home/ann/");
    EXPECT_EQ(DriveRootFromEntry("/tmp"), "/tmp/");
    EXPECT_EQ(DriveRootFromEntry("/"), "/");
    EXPECT_EQ(DriveRootFromEntry("/mnt/data/ [data]"), "/mnt/data/");
    EXPECT_EQ(DriveRootFromEntry("  /srv/my files  "), "/srv/my files/");
    // Only the last " [" starts the label.
    EXPECT_EQ(DriveRootFromEntry("/mnt/a [b] [label]"), "/mnt/a [b]/");
}

// A folder on a host with drive letters begins like a drive-letter entry but
// keeps the folder rule: its blanks stay.
TEST(DriveRootFromEntry, FoldersUnderADriveLetterKeepTheDirectoryRule) {
    EXPECT_EQ(DriveRootFromEntry("Z:/tmp/with blank [label]"), "Z:/tmp/with blank/");
    EXPECT_EQ(DriveRootFromEntry("c:\\Users\\Ann Lee [cli]"), "c:\\Users\\Ann Lee/");
    EXPECT_EQ(DriveRootFromEntry("d:/ [cli]"), "d:/");
    EXPECT_EQ(DriveRootFromEntry("d:\\ [SCRATCH]"), "d:\\");
    EXPECT_EQ(DriveRootFromEntry("/tmp/a\\ [test]"), "/tmp/a\\/");
    EXPECT_EQ(DriveRootFromEntry("e:FLOPPY DISK"), "e:FLOPPY\\");  // no separator: the letter rule
}

TEST(DirectoryEntry, EveryEntryMapsBackToItsDirectory) {
    const std::vector<std::string> directories = {
        "/", "/media/ann/Backup [2023]", "/mnt/x ", "/mnt/ x", "/mnt/a [b] [c]", "/mnt/ [",
        "/media/J\xc3\xbcrgen/Stick", "/mnt/with\\040escape", "/mnt/trailing/"};
    const std::vector<std::string> labels = {
        "", "Backup [2023]", " [", "] [", "x [y", "  ", "Gr\xc3\xbcn", "[", "a]"};
    for (const std::string& directory : directories) {
        for (const std::string& label : labels) {
            const std::string entry = DirectoryEntry(directory, label);
            const std::string expected = directory.back() == '/' ? directory : directory + "/";
            EXPECT_EQ(DriveRootFromEntry(entry), expected) << entry;
        }
    }
    for (const std::string& label : labels) {
        EXPECT_EQ(DriveRootFromEntry(DirectoryEntry("Z:/tmp/with blank", label)), "Z:/tmp/with blank/");
    }
    // A label without brackets shows as it is.
    EXPECT_EQ(DirectoryEntry("/media/ann/USB STICK", "USB STICK"), "/media/ann/USB STICK [USB STICK]");
    EXPECT_EQ(DirectoryEntry("/media/b", "Backup [2023]"), "/media/b [Backup (2023)]");
}

}  // namespace
}  // namespace trevalon::bench
