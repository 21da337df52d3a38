// What the GoogleTest programs include most, parsed once for all of them.
#include <gtest/gtest.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
