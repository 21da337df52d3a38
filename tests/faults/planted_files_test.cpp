// Things planted where the scratch files go: a link to someone's file, a
// second name of a user's file, a FIFO, a directory. None may be written
// through, emptied, removed or waited on for ever.
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
        std::string message;
        std::vector<int> filled;
    };
    const std::string first = dir + "/DriveSpeedTest.txt";
    const std::string second = dir + "/DriveSpeedTest2.txt";
    const std::vector<Case> cases = {
        {"link to a file elsewhere", [&] { fs::create_symlink(outside + "/victim.txt", first); },
         Kind::kSingle, kReadOnlyMessage, {}},
        {"dangling link", [&] { fs::create_symlink(outside + "/new.txt", first); },
         Kind::kSingle, kReadOnlyMessage, {}},
        {"second name of a user's file", [&] { fs::create_hard_link(dir + "/notes.txt", second); },
         Kind::kSingle, kReadOnlyMessage, {0, 1, 2, 3, 4, 5, 7}},
        {"link as the copy target", [&] { fs::create_symlink(outside + "/victim.txt", second); },
         Kind::kSingle, kReadOnlyMessage, {0, 1, 2, 3, 4, 5, 7}},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(first.c_str(), 0600), 0); },
         Kind::kSingle, UnableToAccess(Root(dir)), {}},
        {"directory", [&] { fs::create_directory(first); }, Kind::kSingle, kReadOnlyMessage, {}},
        {"link in the comparison", [&] { fs::create_symlink(outside + "/victim.txt", first); },
         Kind::kCompare, kReadOnlyMessage, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plant);
        c.make();
        Drives drives;
        drives.Add(dir, /*withUserFiles=*/false);
        drives.Add(outside, /*withUserFiles=*/false);
        RecordingView view(kShown);
        view.entries[0] = EntryFor(dir);
        RunKind(c.kind, view);
        if (c.kind == Kind::kCompare) {
            // The comparison ends on 75 like the single drive check.
            EXPECT_EQ(view.messages, std::vector<std::string>{c.message});
        } else {
            ExpectDriveError(view, c.message);
        }
        std::vector<int> filled;
        for (const auto& [index, text] : view.results) filled.push_back(index);
        EXPECT_EQ(filled, c.filled);
        // Only the planted thing is left of the scratch names: it is not ours.
        for (std::size_t i = 0; i < drives.dirs.size(); ++i) {
            EXPECT_EQ(TakeSnapshot(drives.dirs[i]), drives.before[i]) << drives.dirs[i];
        }
        fs::remove(first);
        fs::remove(second);
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
    ExpectDriveError(view, kReadOnlyMessage);
    for (std::size_t i = 0; i < drives.dirs.size(); ++i) {
        EXPECT_EQ(TakeSnapshot(drives.dirs[i]), drives.before[i]) << drives.dirs[i];
    }
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
