#include "bench/run_error.h"

#include <cerrno>
#include <system_error>

#include "bench/host/host.h"

namespace trevalon::bench {

std::int32_t RunTimeNumberForHostError(int code) {
    using namespace error_number;
    switch (code) {
        case ENOENT:
            return kFileNotFound;
        case ENOSPC:
        case EFBIG:  // a file system's size limit: the drive cannot take more
#ifdef EDQUOT
        case EDQUOT:
#endif
            return kDiskFull;
#ifdef ENOMEDIUM
        case ENOMEDIUM:
#endif
        case ENXIO:
        case ENODEV:
        // A network share whose server went away.
        case ENOTCONN:
        case ESTALE:
        case ETIMEDOUT:
#ifdef EHOSTDOWN
        case EHOSTDOWN:
#endif
            return kDiskNotReady;
        case EROFS:
        case EACCES:
        case EPERM:
        case ELOOP:  // a link where a scratch file belongs is never followed
        case EISDIR:
        case ETXTBSY:
        case EBUSY:
            return kPathFileAccess;
        case ENAMETOOLONG:
        case ENOTDIR:
        case EINVAL:
            return kBadFileName;
        case EIO:
            return kDeviceIo;
        case EMFILE:
        case ENFILE:
            return kTooManyFiles;
        case ENOMEM:
            return kOutOfMemory;
        default:
            return kHostErrorBase + code;
    }
}

RunTimeError HostFileError(int code) {
    return RunTimeError(RunTimeNumberForHostError(code), std::generic_category().message(code), code);
}

std::int32_t RunTimeNumberForHostError(const std::error_code& code) {
    if (code.category() == std::system_category()) return RunTimeNumberForSystemError(code.value());
    if (code.category() == std::generic_category()) return RunTimeNumberForHostError(code.value());
    return error_number::kHostErrorBase + code.value();
}

RunTimeError HostFileError(const std::error_code& code) {
    if (code.category() == std::generic_category()) return HostFileError(code.value());
    const std::string text =
        code.category() == std::system_category() ? SystemErrorText(code.value()) : code.message();
    return RunTimeError(RunTimeNumberForHostError(code), text, code.value());
}

}  // namespace trevalon::bench
