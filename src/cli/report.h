// What trevalon-cli prints once a run is over: aligned lines with a text bar,
// or one JSON object. Every number comes from the run's records.
#pragma once

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/mount_info.h"
#include "cli/run_recorder.h"

namespace trevalon::console {

struct RunFacts {
    bench::TestKind test = bench::TestKind::kSingleDriveCheck;
    std::string version;
    std::string mode = "cached";
    std::string startedUtc;  // ISO 8601
    bench::NumberSeparators separators;
    std::function<bench::MountInfo(const std::string&)> mountOf = bench::MountOf;
};

inline constexpr int kBarCells = 30;

// "[#########.....................]" for a value against its full scale;
// a value beyond the scale fills the bar and ends it with '>'.
std::string TextBar(double value, double fullScale);

std::string PlainReport(const RunRecorder& run, const RunFacts& facts);
// A drive whose directory is not valid UTF-8 also carries "directoryBytes",
// the name's bytes as numbers.
nlohmann::json JsonReport(const RunRecorder& run, const RunFacts& facts);
// The report as text that any JSON reader loads: bytes of a text that are
// not UTF-8 become U+FFFD.
std::string JsonText(const nlohmann::json& report);

// 0 done, 1 a drive error, 3 an unexpected error.
int ExitCodeOf(const RunRecorder& run);

// "2024-05-01T12:00:00Z" for now.
std::string UtcNow();

}  // namespace trevalon::console
