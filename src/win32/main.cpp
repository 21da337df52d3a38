#include <windows.h>

#include "win32/message_loop.h"
#include "win32/startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    trevalon::win32::basGeneral::Main();
    return trevalon::win32::RunMessageLoop();
}
