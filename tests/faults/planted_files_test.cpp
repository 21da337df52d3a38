// Things planted where the scratch files go: a user's own file, a link to
// someone's file, a second name of a user's file, a FIFO, a directory. None
// may be written through, emptied, removed or waited on for ever, and the
// message names it.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fault_runs.h"

namespace faults {
namespace {

namespace fs = std::filesystem;

class PlantedFiles : public testing::Test {
protected:
    void SetUp() override {
        dir = work.Sub("drive");
        outside = work.Sub("outside");
        std::ofstream(outside + "/victim.txt") << "precious\n";
        PutUserFiles(dir);
    }
    TempDir work{TempDir::Where::kOwnTmpfs};
    std::string dir, outside;
};

TEST_F(PlantedFiles, NothingIsWrittenThroughOrRemovedAndNothingHangs) {
    struct Case {
        const char* plant;
        std::function<void()> make;
        Kind kind;
        std::string named;  // the file the message names
        bool needsRoot = false;
    };
    const std::string first = dir + "/DriveSpeedTest.txt";
    const std::string second = dir + "/DriveSpeedTest2.txt";
    const std::string note = "a note of the user's, 41 bytes long.....\n";
    const std::vector<Case> cases = {
        {"link to a file elsewhere", [&] { fs::create_symlink(outside + "/victim.txt", first); },
         Kind::kSingle, first},
        {"dangling link", [&] { fs::create_symlink(outside + "/new.txt", first); }, Kind::kSingle, first},
        {"second name of a user's file", [&] { fs::create_hard_link(dir + "/notes.txt", second); },
         Kind::kSingle, second},
        {"link as the copy target", [&] { fs::create_symlink(outside + "/victim.txt", second); },
         Kind::kSingle, second},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(first.c_str(), 0600), 0); }, Kind::kSingle, first},
        {"directory", [&] { fs::create_directory(first); }, Kind::kSingle, first},
        {"link in the comparison", [&] { fs::create_symlink(outside + "/victim.txt", first); },
         Kind::kCompare, first},
        {"a user's note", [&] { WriteFile(first, note); }, Kind::kSingle, first},
        {"a user's note as the second file", [&] { WriteFile(second, note); }, Kind::kSingle, second},
        {"a user's note in the comparison", [&] { WriteFile(first, note); }, Kind::kCompare, first},
        {"a user's note in the copy test's source", [&] { WriteFile(first, note); }, Kind::kCopy, first},
        {"another user's scratch file",
         [&] {
             WriteFile(first, XLines(1000, 1024));
             ASSERT_EQ(::chown(first.c_str(), 65534, 65534), 0);
         },
         Kind::kSingle, first, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plant);
        if (c.needsRoot && CurrentIsolation() != Isolation::kPrivileged) continue;
        c.make();
        Drives drives;
        drives.Add(dir, /*withUserFiles=*/false);
        drives.Add(outside, /*withUserFiles=*/false);
        RecordingView view(kShown);
        view.entries[0] = EntryFor(dir);
        RunKind(c.kind, view);
        // Stopped before anything was written, the planted thing named.
        ExpectDriveError(view, InTheWay(c.named));
        EXPECT_TRUE(view.results.empty());
        drives.ExpectSame();
        fs::remove(first);
        fs::remove(second);
    }
}

// A file in the way on a drive listed later: no drive is written at all.
TEST_F(PlantedFiles, AFileInTheWayOnALaterDriveStopsTheRunBeforeAnyWrite) {
    for (const Kind kind : {Kind::kCompare, Kind::kCopy}) {
        SCOPED_TRACE(KindName(kind));
        Drives drives;
        RecordingView view(kShown);
        for (int list = 0; list < 3; ++list)
            drives.Listed(work, KindTag(kind) + std::to_string(list), view, list);
        const std::vector<std::string>& dirs = drives.dirs;
        const std::string planted = dirs[2] + "/DriveSpeedTest.txt";
        WriteFile(planted, "the user's own, kept for years\r\n");
        drives.before[2] = TakeSnapshot(dirs[2]);
        bool wrote = false;
        view.onYield = [&](int) {
            for (const std::string& d : dirs) wrote |= Exists(d + "/DriveSpeedTest.txt") && d != dirs[2];
        };
        RunKind(kind, view);
        ExpectDriveError(view, InTheWay(planted));
        EXPECT_FALSE(wrote);
        EXPECT_TRUE(view.results.empty());
        drives.ExpectSame();
    }
}

TEST_F(PlantedFiles, CopyTestDoesNotWriteThroughALinkInADestination) {
    const std::string destination = work.Sub("destination");
    fs::create_symlink(outside + "/victim.txt", destination + "/DriveSpeedTest.txt");
    Drives drives;
    drives.Add(destination, /*withUserFiles=*/false);
    drives.Add(outside, /*withUserFiles=*/false);
    Drives source;
    source.Add(dir, /*withUserFiles=*/false);
    RecordingView view(kShown);
    view.entries = {EntryFor(dir), EntryFor(destination), "", ""};
    RunKind(Kind::kCopy, view);
    ExpectDriveError(view, InTheWay(destination + "/DriveSpeedTest.txt"));
    drives.ExpectSame();
    source.ExpectUnchanged("the source");
}

// A destination that is the source under another name: the copy test file
// is never copied onto itself, and it still goes at the end.
TEST_F(PlantedFiles, CopyTestToTheSourceUnderAnotherNameLeavesItsFileIntact) {
    fs::create_directory_symlink(dir, outside + "/alias");
    Drives drives;
    drives.Add(dir, /*withUserFiles=*/false);
    RecordingView view(kShown);
    view.entries = {EntryFor(dir), dir + "/ [same]", EntryFor(outside + "/alias"), ""};
    RunKind(Kind::kCopy, view);
    EXPECT_EQ(view.messages, (std::vector<std::string>{UnableToAccess(Root(dir)),
                                                        UnableToAccess(Root(outside + "/alias"))}));
    EXPECT_TRUE(view.handOffs.empty());
    EXPECT_EQ(view.LastStatus(), DoneText(Kind::kCopy));
    EXPECT_TRUE(view.results.empty());
    drives.ExpectUnchanged("after copying onto the source");
}

}  // namespace
}  // namespace faults
