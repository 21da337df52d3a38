// Runs a piece of a test in a child process that has a network of its own
// with nothing in it, so that a name look-up cannot reach any resolver:
//
//   const int rc = trevalon::testsupport::RunWithoutNetwork([] { return fetch_failed ? 0 : 1; });
//   if (rc == trevalon::testsupport::kNoIsolation) GTEST_SKIP() << "...";
//   EXPECT_EQ(rc, 0);
#pragma once

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

namespace trevalon::testsupport {

inline constexpr int kNoIsolation = 77;

template <class Body>
int RunWithoutNetwork(Body body) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return kNoIsolation;
    if (pid == 0) {
        // As root a new network namespace is enough; otherwise a user namespace grants it.
        if (unshare(CLONE_NEWNET) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0)
            _exit(kNoIsolation);
        int rc = 1;
        try {
            rc = body();
        } catch (...) {
            rc = 2;
        }
        std::fflush(nullptr);
        _exit(rc);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace trevalon::testsupport
