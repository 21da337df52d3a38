// What a run does at the limits of the drive under test: slow writes, the
// file system's own file-size limit, the free-space reserve and a drive list
// filled while another file system was mounted there.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "bench/drive_run.h"
#include "bench/drive_tests.h"
#include "bench/text_file.h"
#include "tests/bench/drive_runs.h"

namespace trevalon::bench {
namespace {

constexpr double kStep = 1.0 / 1024.0;

// The host's files, remembering the size of every write call.
class WriteSizes final : public FileLayer {
public:
    std::vector<std::size_t> sizes;
    std::unique_ptr<RawFile> OpenForWriting(const std::string& path) override {
        struct File final : RawFile {
            File(std::unique_ptr<RawFile> f, std::vector<std::size_t>& s) : file(std::move(f)), sizes(s) {}
            void Write(const char* data, std::size_t size) override {
                sizes.push_back(size);
                file->Write(data, size);
            }
            std::size_t Read(char* data, std::size_t size) override { return file->Read(data, size); }
            void Close() override { file->Close(); }
            std::unique_ptr<RawFile> file;
            std::vector<std::size_t>& sizes;
        };
        return std::make_unique<File>(HostFileLayer().OpenForWriting(path), sizes);
    }
    std::unique_ptr<RawFile> OpenForReading(const std::string& p) override { return HostFileLayer().OpenForReading(p); }
    bool IsNormalFile(const std::string& p) override { return HostFileLayer().IsNormalFile(p); }
    void CopyFile(const std::string& a, const std::string& b) override { HostFileLayer().CopyFile(a, b); }
    void DeleteFile(const std::string& p) override { HostFileLayer().DeleteFile(p); }
};

TEST(PacedWriter, PiecesFollowHowLongAWriteCallTakes) {
    const std::string fill(1024, 'X');
    struct Case {
        double secondsPerCall;
        std::size_t lastPiece;
    };
    // A slow drive gets the smallest piece; a fast one the whole buffer.
    for (const auto& [seconds, lastPiece] : {Case{0.010, 7 * 1026}, Case{0.0, kTextBufferSize - kTextBufferSize % 1026}}) {
        TempDir dir;
        WriteSizes files;
        ScriptedClock clock({}, seconds);
        TextFileWriter writer(files, dir.path() + "/paced.txt");
        writer.PaceWith(clock);
        const int lines = 8000;
        for (int i = 0; i < lines; ++i) writer.WriteLine(fill);
        writer.Close();
        ASSERT_GE(files.sizes.size(), 2U);
        EXPECT_EQ(files.sizes.front(), 7 * 1026U) << seconds;  // a small first piece
        EXPECT_EQ(files.sizes[files.sizes.size() - 2], lastPiece) << seconds;
        EXPECT_EQ(writer.Handed(), lines * 1026ULL);
    }
}

// How a run ends: the kind of test, its status and the slot of its write speed.
struct Kind {
    const char* name;
    std::function<void(ViewOperations&, const TestEnvironment&)> run;
    std::string done;
    int writeSlot;
    int readSlot;
};
const std::vector<Kind>& Kinds() {
    static const std::vector<Kind> kinds = {
        {"single", [](ViewOperations& v, const TestEnvironment& e) { RunSingleDriveCheck(v, e); }, "Done", 4, 5},
        {"compare", [](ViewOperations& v, const TestEnvironment& e) { RunDriveComparison(v, e); },
         "Comparison Complete", 0, 1}};
    return kinds;
}

double SpeedOfBar(float bar) { return bar * 75000.0 / 3705.0; }

TEST(TimeBoxedWrite, AFileSizeLimitEndsTheWindowOverTheTimeTaken) {
    for (const Kind& kind : Kinds()) {
        TempDir dir;
        RecordingView view({dir.path()});
        ScriptedClock clock({}, kStep);
        // The second piece of the window fails: seven lines were handed over.
        const int firstWindowWrite = kind.writeSlot == 4 ? 34 : 1;
        FailingFileLayer files(FileCall::kWrite, EFBIG, firstWindowWrite + 1);
        kind.run(view, {clock, files});
        ASSERT_TRUE(files.fired()) << kind.name;
        EXPECT_TRUE(view.messages.empty()) << kind.name;
        EXPECT_EQ(view.statuses.back(), kind.done) << kind.name;
        // 7 lines over a whole number of clock steps, not over 3 s.
        const double steps = 7.0 / (SpeedOfBar(view.bars[kind.writeSlot]) * kStep);
        EXPECT_NEAR(steps, std::round(steps), 1e-3) << kind.name;
        EXPECT_LT(steps, 3.0 / kStep) << kind.name;
        EXPECT_TRUE(dir.Entries().empty()) << kind.name;
    }
}

TEST(TimeBoxedWrite, TheWindowStopsWhereTheDriveWouldLoseItsReserve) {
    EXPECT_EQ(SpaceReserve(kGiB), 64ULL << 20);          // 5% would be less
    EXPECT_EQ(SpaceReserve(10 * kGiB), 10 * kGiB / 20);  // 5%
    EXPECT_EQ(SpaceReserve(100 * kGiB), 2 * kGiB);       // at most 2 GiB
    // On a disk, its free space is the limit; on a drive kept in memory
    // (tmpfs as large as memory) a quarter of the machine's available memory stays.
    for (const auto& [kind, inMemory] : {std::pair{Kinds()[0], false}, std::pair{Kinds()[1], false},
                                         std::pair{Kinds()[0], true}, std::pair{Kinds()[1], true}}) {
        SCOPED_TRACE(inMemory ? "in memory" : "on a disk");
        const int copies = kind.writeSlot == 4 ? 2 : 1;
        const std::uint64_t room = kShortLineFilesBytes + 100 * 1026 * copies;
        TempDir dir;
        RecordingView view({dir.path()});
        ScriptedClock clock({}, kStep / 16);  // some 49,000 lines if nothing stopped it
        FailingFileLayer files(FileCall::kDelete, EIO, 1000);
        files.space = inMemory ? DriveSpace{24 * kGiB, 24 * kGiB, room / 3 * 4}
                               : DriveSpace{kGiB, SpaceReserve(kGiB) + room};
        kind.run(view, {clock, files});
        EXPECT_EQ(view.statuses.back(), kind.done) << kind.name;
        // The read-back takes one step: its speed is the file's lines per step.
        const double lines = SpeedOfBar(view.bars[kind.readSlot]) * kStep / 16;
        EXPECT_LE(lines * 1026 * copies, static_cast<double>(room)) << kind.name;
        // Short of the room by no more than a little of what files take beyond their bytes.
        EXPECT_GT(lines * 1026 * copies, static_cast<double>(room - copies * (2ULL << 20))) << kind.name;
        const auto most = static_cast<double>(room / copies / 1026);
        EXPECT_GT(SpeedOfBar(view.bars[kind.writeSlot]), most / 3.0) << kind.name;
    }
}

TEST(DriveChecks, TooLittleSpaceOrAnotherFileSystemStopsBeforeAnyWrite) {
    struct Case {
        const char* what;
        std::optional<std::uint64_t> listed;
        bool full;
        bool notReady;
    };
    for (const Kind& kind : Kinds()) {
        // The check writes its short-line files; the comparison at least the
        // 100 fill lines of a slow drive's read-back.
        const std::uint64_t least = kind.writeSlot == 4 ? kShortLineFilesBytes : 100 * 1026;
        const std::uint64_t justShort = SpaceReserve(kGiB) + least - 1;
        for (const auto& [what, listed, full, notReady] :
             {Case{"short of room", std::nullopt, true, false}, Case{"remounted", 8, false, true},
              Case{"same file system", 7, false, false}}) {
            SCOPED_TRACE(std::string(kind.name) + ": " + what);
            TempDir dir;
            RecordingView view({dir.path()});
            if (listed) view.volumes[0] = *listed;
            ScriptedClock clock({}, kStep);
            FailingFileLayer files(FileCall::kDelete, EIO, 1000);
            files.volume = 7;
            files.space = DriveSpace{kGiB, full ? justShort : 2 * kGiB};
            kind.run(view, {clock, files});
            const std::string root = dir.path() + "/";
            std::vector<std::string> messages;
            if (full) messages.push_back(DriveFull(root));
            if (notReady) messages.push_back(UnableToAccess(root));
            EXPECT_EQ(view.messages, messages);
            EXPECT_EQ(view.results[kind.writeSlot].empty(), full || notReady);
            // The comparison goes on after a drive that is not ready.
            const bool movesOn = notReady && kind.writeSlot == 0;
            EXPECT_EQ(view.statuses.back(), (full || notReady) && !movesOn ? "Drive Error" : kind.done);
            EXPECT_TRUE(dir.Entries().empty());
        }
    }
}

}  // namespace
}  // namespace trevalon::bench
