// Setting the test process's environment, Windows side. The C runtime's
// _putenv_s sets the process's own environment too, which libraries read.
#pragma once

#include <cstdlib>

namespace trevalon::testsupport {

inline void SetEnvironment(const char* name, const char* value) { _putenv_s(name, value); }
inline void UnsetEnvironment(const char* name) { _putenv_s(name, ""); }

}  // namespace trevalon::testsupport
