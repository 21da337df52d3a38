#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "bench/drive_root.h"
#include "bench/host/host.h"
#include "cli/arguments.h"
#include "cli/progress.h"
#include "cli/report.h"
#include "cli/run_recorder.h"

namespace trevalon::console {
namespace {

using bench::ResultRecord;
using bench::ResultUnit;
using bench::TestKind;

TEST(CliArguments, CommandsOptionsAndWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        const char* problem;  // empty: accepted
        TestKind test;
        std::size_t directories;
        bool json;
        bool uncached = false;
    } cases[] = {
        {{"check", "/a"}, "", TestKind::kSingleDriveCheck, 1, false},
        {{"--json", "compare", "/a", "/b c"}, "", TestKind::kDriveComparison, 2, true},
        {{"compare", "/a", "/b", "/c", "/d", "--json"}, "", TestKind::kDriveComparison, 4, true},
        {{"copy", "/a", "/b", "/c", "/d"}, "", TestKind::kCopyTest, 4, false},
        {{"check", "--", "-odd"}, "", TestKind::kSingleDriveCheck, 1, false},
        {{"--uncached", "compare", "/a", "--json"}, "", TestKind::kDriveComparison, 1, true, true},
        {{"check", "--", "--uncached"}, "", TestKind::kSingleDriveCheck, 1, false, false},
        {{"--bogus"}, "unknown option '--bogus'", {}, 0, false},
        {{}, "no command given", {}, 0, false},
        {{"--json"}, "no command given", {}, 0, false},
        {{"measure", "/a"}, "unknown command 'measure'", {}, 0, false},
        {{"check"}, "'check' takes one DIR, not 0", {}, 0, false},
        {{"check", "/a", "/b"}, "'check' takes one DIR, not 2", {}, 0, false},
        {{"compare", "1", "2", "3", "4", "5"}, "'compare' takes one to four DIRs, not 5", {}, 0, false},
        {{"copy", "/a"}, "'copy' takes a SOURCE and one to three DESTs, not 1", {}, 0, false},
        {{"check", ""}, "an empty directory name", {}, 0, false},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseArguments(c.args);
        if (*c.problem) {
            ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << c.problem;
            EXPECT_EQ(std::get<UsageError>(parsed).problem, c.problem);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<Arguments>(parsed)) << c.args[0];
        const Arguments& arguments = std::get<Arguments>(parsed);
        EXPECT_EQ(arguments.action, Arguments::Action::kRun);
        EXPECT_EQ(arguments.test, c.test);
        EXPECT_EQ(arguments.directories.size(), c.directories);
        EXPECT_EQ(arguments.json, c.json);
        EXPECT_EQ(arguments.uncached, c.uncached);
    }
    EXPECT_EQ(std::get<Arguments>(ParseArguments({"check", "--help"})).action,
              Arguments::Action::kHelp);
    EXPECT_EQ(std::get<Arguments>(ParseArguments({"--version"})).action,
              Arguments::Action::kVersion);
    EXPECT_EQ(std::get<Arguments>(ParseArguments({"--list-drives"})).action,
              Arguments::Action::kListDrives);
}

// Each listed entry names a folder that exists, and the list is what the
// host's drive list offers.
TEST(CliDrives, EveryListedEntryMapsBackToAnExistingRoot) {
    const std::vector<std::string> entries = bench::HostDriveEntries();
    ASSERT_FALSE(entries.empty());
    for (const std::string& entry : entries) {
        const std::string root = bench::DriveRootFromEntry(entry);
        EXPECT_NE(root, bench::kNoDriveRoot) << entry;
        EXPECT_TRUE(std::filesystem::is_directory(root)) << entry;
    }
}

TEST(CliArguments, EntriesGiveTheDirectoryAsRootAndOneEntryPerFolder) {
    const struct {
        const char* directory;
        const char* root;
    } cases[] = {
#ifndef _WIN32
        {"/var/tmp/b c", "/var/tmp/b c/"},
        {"/var/tmp/b c/", "/var/tmp/b c/"},
        {"/tmp/./x/../y [label]", "/tmp/y [label]/"},
        {"/", "/"},
#else
        // A drive's root is the drive's own entry, Algorithm-1 style.
        {"d:\\", "d:\\"},
        {"D:/", "D:\\"},
        {"d:\\b c", "d:/b c/"},
        {"d:/x/../y [label]", "d:/y [label]/"},
#endif
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bench::DriveRootFromEntry(EntryForDirectory(c.directory)), c.root) << c.directory;
    }
    EXPECT_EQ(EntryForDirectory("/tmp/a/"), EntryForDirectory("/tmp//a"));
    const std::string relative = bench::DriveRootFromEntry(EntryForDirectory("rel"));
    EXPECT_TRUE(std::filesystem::path(relative).is_absolute()) << relative;
}

TEST(CliReport, TextBarsFollowTheFullScale) {
    EXPECT_EQ(TextBar(0, 5), "[" + std::string(30, '.') + "]");
    EXPECT_EQ(TextBar(2.5, 5), "[" + std::string(15, '#') + std::string(15, '.') + "]");
    EXPECT_EQ(TextBar(5, 5), "[" + std::string(30, '#') + "]");
    EXPECT_EQ(TextBar(9, 5), "[" + std::string(30, '#') + ">");
    EXPECT_EQ(TextBar(-1, 5), TextBar(0, 5));
}

TEST(CliProgress, StepFollowsTheSlotsShown) {
    const struct {
        TestKind test;
        std::set<int> shown;
        int drive;
        const char* step;
    } cases[] = {
        {TestKind::kSingleDriveCheck, {}, 0, "Small File Write Speed (1 MB)"},
        {TestKind::kSingleDriveCheck, {0, 1, 2, 3, 4, 5}, 0, "Directory Lookup Speed (10000 Files)"},
        {TestKind::kSingleDriveCheck, {0, 1, 2, 3, 4, 5, 7}, 0, "File Copy Speed (10 MB)"},
        {TestKind::kDriveComparison, {}, 2, "Drive Overall Write Speed (KB/second)"},
        {TestKind::kDriveComparison, {4}, 2, "Drive Overall Read Speed (KB/second)"},
        {TestKind::kCopyTest, {}, 0, "Creating File To Copy"},
        {TestKind::kCopyTest, {}, 3, "Drive To Drive Copy Speed (10MB)"},
    };
    for (const auto& c : cases) EXPECT_EQ(CurrentStep(c.test, c.shown, c.drive), c.step);
}

// A comparison of two drives as the run would record it.
struct CliReportTest : ::testing::Test {
    RunRecorder run{{"/a [a]", "/b [b]"}};
    RunFacts facts;
    void SetUp() override {
        facts.test = TestKind::kDriveComparison;
        facts.version = "1.5.5";
        facts.startedUtc = "2024-05-01T12:00:00Z";
        facts.separators = {",", "."};
        facts.mountOf = [](const std::string& root) {
            return bench::MountInfo{root, root == "/a/" ? "tmpfs" : "ext4", "dev" + root};
        };
        run.RecordDrive(0, "/a/");
        run.RecordResult({TestKind::kDriveComparison, 0, 75000, ResultUnit::kKilobytesPerSecond,
                          230'850'000});
        run.RecordResult({TestKind::kDriveComparison, 1, 7, ResultUnit::kKilobytesPerSecond});
        run.RecordDrive(1, "/b/");
        run.RecordResult({TestKind::kDriveComparison, 2, 1234567, ResultUnit::kKilobytesPerSecond});
        run.SetStatusText("Comparison Complete");
    }
};

TEST_F(CliReportTest, PlainLinesAreAlignedInTheLocale) {
    const std::string w = "  Drive Overall Write Speed (KB/second):  ";
    const std::string r = "  Drive Overall Read Speed (KB/second):   ";
    const std::string noBytes(2 + 17, ' ');
    EXPECT_EQ(PlainReport(run, facts),
              "Trevalon 1.5.5, compare, cached\n"
              "Drive #1: /a/ (tmpfs, dev/a/)\n" +
                  w + "   75.000 KB/sec  " + TextBar(75000, 75000) + "  230.850.000 bytes     76,95 MB/s\n" +
                  r + "        7 KB/sec  " + TextBar(7, 75000) + noBytes + "      0,01 MB/s\n" +
                  "Drive #2: /b/ (ext4, dev/b/)\n" +
                  w + "1.234.567 KB/sec  " + TextBar(1234567, 75000) + noBytes + "  1.266,67 MB/s\n" +
                  "Comparison Complete\n");
    EXPECT_EQ(ExitCodeOf(run), 0);
}

TEST_F(CliReportTest, JsonHoldsPlainNumbersAndTheErrors) {
    run.ShowDriveMessage("The drive you are trying to test is read only");
    nlohmann::json json = JsonReport(run, facts);
    EXPECT_EQ(json["version"], "1.5.5");
    EXPECT_EQ(json["test"], "compare");
    EXPECT_EQ(json["started"], "2024-05-01T12:00:00Z");
    ASSERT_EQ(json["drives"].size(), 2U);
    EXPECT_EQ(json["drives"][1]["fileSystemType"], "ext4");
    ASSERT_EQ(json["results"].size(), 3U);
    EXPECT_EQ(json["results"][2]["value"], 1234567.0);
    EXPECT_EQ(json["results"][2]["bytesPerSecond"], 1234567.0 * 1026);
    EXPECT_EQ(json["results"][0]["bytes"], 230'850'000);
    EXPECT_FALSE(json["results"][2].contains("bytes"));
    EXPECT_FALSE(json["drives"][0].contains("directoryBytes"));
    EXPECT_EQ(json["results"][2]["drive"], 2);
    EXPECT_EQ(json["results"][1]["caption"], "Drive Overall Read Speed (KB/second):");
    EXPECT_EQ(json["driveErrors"][0], "The drive you are trying to test is read only");
    EXPECT_FALSE(json.contains("unexpectedError"));
    EXPECT_EQ(ExitCodeOf(run), 1);

    run.HandOffError(57, 7, "Device I/O error");
    json = JsonReport(run, facts);
    EXPECT_EQ(json["unexpectedError"]["number"], 57);
    EXPECT_EQ(ExitCodeOf(run), 3);
}

TEST(CliReport, SecondsGiveTheirBytesAndSpeedAndTheStartIsUtc) {
    RunRecorder run({"/a [a]"});
    run.RecordDrive(0, "/a/");
    run.RecordResult({TestKind::kSingleDriveCheck, 6, 0.5, ResultUnit::kSeconds, 6'200'000'000});
    run.RecordResult({TestKind::kSingleDriveCheck, 7, 0.25, ResultUnit::kSeconds});
    RunFacts facts;
    facts.mountOf = [](const std::string&) { return bench::MountInfo{"/", "x", "y"}; };
    const nlohmann::json json = JsonReport(run, facts);
    EXPECT_EQ(json["results"][0]["unit"], "seconds");
    EXPECT_EQ(json["results"][0]["bytes"], 6'200'000'000);
    EXPECT_EQ(json["results"][0]["bytesPerSecond"], 12.4e9);
    EXPECT_FALSE(json["results"][1].contains("bytesPerSecond"));  // lookups move no bytes
    const std::string plain = PlainReport(run, facts);
    EXPECT_NE(plain.find("File Copy Speed (10 MB):" + std::string(13 + 2, ' ') + "0.500 seconds  " +
                         TextBar(0.5, 4) + "  6,200,000,000 bytes  12,400.00 MB/s\n"),
              std::string::npos) << plain;
    EXPECT_NE(plain.find("0.250 seconds  " + TextBar(0.25, 2) + "\n"), std::string::npos) << plain;
    const std::string now = UtcNow();
    ASSERT_EQ(now.size(), 20U);
    EXPECT_EQ(now[10], 'T');
    EXPECT_EQ(now.back(), 'Z');
}

// File names are bytes: one that is not UTF-8 still gives JSON that loads,
// with the name exact beside a readable form, and plain text keeps it as is.
TEST(CliReport, DirectoryNamesThatAreNotUtf8) {
    const std::string odd = "/tmp/a\xFF" "b/";
    RunRecorder run({odd});
    run.RecordDrive(0, odd);
    run.ShowDriveMessage("I am unable to access " + odd);
    run.SetStatusText("Testing Drive: " + odd);
    RunFacts facts;
    facts.mountOf = [](const std::string&) { return bench::MountInfo{"/", "x", "y"}; };
    const nlohmann::json loaded = nlohmann::json::parse(JsonText(JsonReport(run, facts)));
    const nlohmann::json& drive = loaded["drives"][0];
    EXPECT_EQ(drive["directory"], "/tmp/a\uFFFDb/");
    const auto bytes = drive["directoryBytes"].get<std::vector<unsigned char>>();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), odd);
    EXPECT_EQ(loaded["status"], "Testing Drive: /tmp/a\uFFFDb/");
    EXPECT_EQ(loaded["driveErrors"][0], "I am unable to access /tmp/a\uFFFDb/");
    EXPECT_EQ(PlainReport(run, facts),
              "Trevalon , check, cached\nDrive: " + odd + " (x, y)\nTesting Drive: " + odd + "\n");
}

}  // namespace
}  // namespace trevalon::console
