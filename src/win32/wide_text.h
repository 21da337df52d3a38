// The program keeps UTF-8 everywhere; the Unicode API wants UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace trevalon::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace trevalon::win32
