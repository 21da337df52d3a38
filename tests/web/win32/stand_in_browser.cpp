// A browser for the opener's tests: records its command line after the
// program's own name, unchanged, in calls\ beside itself.
#include <windows.h>

#include <string>

int wmain() {
    std::wstring line = GetCommandLineW();
    std::size_t at = 0;
    if (!line.empty() && line[0] == L'"') {
        at = line.find(L'"', 1);
        at = at == std::wstring::npos ? line.size() : at + 1;
    } else {
        at = line.find(L' ');
        if (at == std::wstring::npos) at = line.size();
    }
    if (at < line.size() && line[at] == L' ') ++at;
    const std::wstring parameters = line.substr(at);

    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetModuleFileNameW(nullptr, folder.data(), MAX_PATH));
    folder.resize(folder.rfind(L'\\'));
    const std::wstring name = folder + L"\\calls\\call-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE h = CreateFileW((name + L".part").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(h, parameters.data(), static_cast<DWORD>(parameters.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(h);
    return MoveFileW((name + L".part").c_str(), (name + L".txt").c_str()) ? 0 : 1;
}
