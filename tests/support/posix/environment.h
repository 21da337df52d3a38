// Setting the test process's environment, POSIX side.
#pragma once

#include <cstdlib>

namespace trevalon::testsupport {

inline void SetEnvironment(const char* name, const char* value) { setenv(name, value, 1); }
inline void UnsetEnvironment(const char* name) { unsetenv(name); }

}  // namespace trevalon::testsupport
