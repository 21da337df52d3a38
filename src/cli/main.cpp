// trevalon-cli: the drive tests from a terminal or a script.
#include <clocale>
#include <cstdio>
#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "bench/drive_root.h"
#include "bench/drive_tests.h"
#include "bench/stop_signals.h"
#include "common/version.h"
#include "cli/arguments.h"
#include "cli/locale_numbers.h"
#include "cli/progress.h"
#include "cli/report.h"
#include "cli/run_recorder.h"
#include "cli/stop_signal.h"

namespace {

using namespace trevalon;

// The recorder, with the progress line told what happens and Ctrl+C heard.
class CliView final : public console::RunRecorder {
public:
    CliView(std::vector<std::string> entries, bench::NumberSeparators separators,
            console::ProgressLine& progress)
        : RunRecorder(std::move(entries), std::move(separators)), progress_(progress) {}

    bool YieldToWindow() override { return !console::StopRequested(); }
    void RecordDrive(int list, const std::string& root) override {
        RunRecorder::RecordDrive(list, root);
        progress_.DriveBegan(list, root);
    }
    void RecordResult(const bench::ResultRecord& record) override {
        RunRecorder::RecordResult(record);
        progress_.SlotShown(record.slot);
    }

private:
    console::ProgressLine& progress_;
};

int Run(const console::Arguments& arguments) {
    console::RunFacts facts;
    facts.test = arguments.test;
    facts.version = trevalon::kVersionText;
    facts.startedUtc = console::UtcNow();
    facts.separators = console::LocaleSeparators();
    if (arguments.uncached) facts.mode = "uncached";

    std::vector<std::string> entries;
    for (const std::string& directory : arguments.directories) {
        entries.push_back(console::EntryForDirectory(directory));
    }
    console::ProgressLine progress(stderr, arguments.test);
    CliView view(entries, arguments.json ? bench::NumberSeparators{} : facts.separators, progress);
    const bench::TestEnvironment environment{
        bench::HostClock(), bench::HostFileLayer(), &bench::ProcessStopFlag(),
        arguments.uncached ? bench::MeasureMode::kUncached : bench::MeasureMode::kCached};
    switch (arguments.test) {
        case bench::TestKind::kSingleDriveCheck: bench::RunSingleDriveCheck(view, environment); break;
        case bench::TestKind::kDriveComparison: bench::RunDriveComparison(view, environment); break;
        case bench::TestKind::kCopyTest: bench::RunCopyTest(view, environment); break;
    }
    progress.Finish();
    if (console::StopRequested()) {
        std::fputs("trevalon-cli: stopped; its scratch files are removed\n", stderr);
        return console::StoppedExitCode();
    }

    if (arguments.json) {
        std::puts(console::JsonText(console::JsonReport(view, facts)).c_str());
    } else {
        std::fputs(console::PlainReport(view, facts).c_str(), stdout);
    }
    for (const std::string& message : view.driveMessages()) {
        std::fprintf(stderr, "trevalon-cli: %s\n", message.c_str());
    }
    if (const auto& error = view.unexpectedError()) {
        std::fprintf(stderr, "trevalon-cli: unexpected error %d: %s\n", error->number,
                     error->description.c_str());
    }
    return console::ExitCodeOf(view);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    bench::UseUtf8Console();
    console::InstallStopOnInterrupt();
    const auto parsed = console::ParseArguments({argv + 1, argv + argc});
    if (const auto* error = std::get_if<console::UsageError>(&parsed)) {
        std::fprintf(stderr, "trevalon-cli: %s\n%s", error->problem.c_str(), console::UsageText());
        return console::kUsageExitCode;
    }
    const auto& arguments = std::get<console::Arguments>(parsed);
    switch (arguments.action) {
        case console::Arguments::Action::kHelp:
            std::fputs(console::UsageText(), stdout);
            std::puts("\nMeasures the drives that hold the given directories with the tests of "
                      "the Trevalon window.\n"
                      "  --json     one JSON object on standard output\n"
                      "  --uncached measure the drive itself: writes end on the drive, reads\n"
                      "             come from it rather than from the system's file cache\n"
                      "  --list-drives  the drive list's entries, each with its drive root\n"
                      "  --help     this text\n"
                      "  --version  the version\n"
                      "Exit status: 0 done, 1 a drive error, 2 bad usage, 3 an unexpected "
                      "error, 130 stopped by Ctrl+C (128 + the signal for SIGTERM or SIGHUP).");
            return 0;
        case console::Arguments::Action::kVersion:
            std::printf("trevalon-cli %s\n", trevalon::kVersionText);
            return 0;
        case console::Arguments::Action::kListDrives:
            for (const std::string& entry : bench::HostDriveEntries()) {
                std::printf("%s\t%s\n", entry.c_str(), bench::DriveRootFromEntry(entry).c_str());
            }
            return 0;
        case console::Arguments::Action::kRun: break;
    }
    try {
        return Run(arguments);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "trevalon-cli: unexpected error: %s\n", error.what());
        return 3;
    }
}
