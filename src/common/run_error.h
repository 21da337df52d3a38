// A run-time error as every layer reports it: the number that error reports
// carry and the description text that goes with it.
#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>

namespace trevalon {

// The run-time numbers the program sorts out itself.
namespace error_number {
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kInternal = 51;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIo = 57;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kTooManyFiles = 67;
inline constexpr std::int32_t kDiskNotReady = 71;
inline constexpr std::int32_t kPathFileAccess = 75;
// Host errors without a number of the table keep their own, offset so that
// they never collide with the runtime's numbers.
inline constexpr std::int32_t kHostErrorBase = 10000;
}  // namespace error_number

class RunTimeError : public std::runtime_error {
public:
    RunTimeError(std::int32_t number, const std::string& description, int hostCode = 0)
        : std::runtime_error(description), number_(number), hostCode_(hostCode) {}

    std::int32_t number() const noexcept { return number_; }
    std::string description() const { return what(); }
    // The host's errno value behind it, 0 when there is none: a few host
    // errors share a number but not what a run does about them.
    int hostCode() const noexcept { return hostCode_; }

private:
    std::int32_t number_;
    int hostCode_;
};

// The error being handled, as a run-time error; only inside a catch block.
inline RunTimeError CurrentRunTimeError() {
    try {
        throw;
    } catch (const RunTimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return RunTimeError(error_number::kOutOfMemory, "Out of memory");
    } catch (const std::exception& error) {
        return RunTimeError(error_number::kInternal, error.what());
    } catch (...) {
        return RunTimeError(error_number::kInternal, "Internal error");
    }
}

}  // namespace trevalon
