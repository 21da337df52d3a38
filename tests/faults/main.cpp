// The fault tests run in a mount namespace of their own: whatever they mount
// is gone when the program ends, even if it crashes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/drive_kit.h"

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
    }
    // Before anything can start a thread: a namespace is for one thread.
    std::string why;
    if (!listing) trevalon::bench::testing::EnterPrivateMounts(why);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
