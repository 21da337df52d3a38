#include "bench/drive_root.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace trevalon::bench
