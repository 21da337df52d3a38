# Cross-builds Windows programs with Debian's mingw-w64 (the -posix compilers,
# which have std::thread and std::mutex). TREVALON_MINGW_ARCH is i686 (32-bit
# Windows) or x86_64.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT TREVALON_MINGW_ARCH)
  set(TREVALON_MINGW_ARCH x86_64)
endif()
set(TREVALON_MINGW_ARCH "${TREVALON_MINGW_ARCH}" CACHE STRING "i686 or x86_64")
set(CMAKE_SYSTEM_PROCESSOR ${TREVALON_MINGW_ARCH})
set(triple ${TREVALON_MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One file to ship: no libgcc, libstdc++ or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Wide-character Win32 calls throughout; windows.h without min/max macros.
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
# GCC 12 warns of overlapping copies in "text" + std::string (its bug 105651).
add_compile_options(-Wno-restrict)
