// The console: redraws where it takes escape sequences, UTF-8 output, and
// the user's separators from the regional settings (the C library's locale
// would give them in the ANSI code page).
#include "bench/host/win32/win32.h"

#include <io.h>

#include "bench/host/host.h"
#include "bench/view_operations.h"

namespace trevalon::bench {

bool IsTerminal(std::FILE* out) {
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(out)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void UseUtf8Console() { ::SetConsoleOutputCP(CP_UTF8); }

NumberSeparators UserNumberSeparators() {
    NumberSeparators separators;
    wchar_t text[8];
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) > 1) {
        separators.decimal = win32::Utf8(text);
    }
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, text, 8) > 1) {
        separators.thousands = win32::Utf8(text);
    }
    return separators;
}

}  // namespace trevalon::bench
