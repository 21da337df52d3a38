// The web page opener through shell32 under Wine, with a stand-in browser
// associated with HTML files in HKLM (where Wine's FindExecutable looks).
// Message boxes need a display: run it under Xvfb.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "web/win32/show_web_page_win32.h"

namespace trevalon::web {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr wchar_t kClasses[] = L"Software\\Classes\\";

std::wstring DefaultValue(const std::wstring& key) {
    wchar_t value[1024];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, (kClasses + key).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return {};
    return value;
}

void SetDefaultValue(const std::wstring& key, const std::wstring& value) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, (kClasses + key).c_str(), nullptr, REG_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

struct Box {
    std::wstring title, text;
    int buttons = 0;
};

// Answers every message box of this process with OK and remembers it.
class BoxAnswerer {
public:
    BoxAnswerer() : thread_([this] { Watch(); }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    std::vector<Box> Boxes() {
        std::lock_guard lock(mutex_);
        return boxes_;
    }

private:
    void Watch() {
        while (!stop_) {
            EnumWindows(
                [](HWND w, LPARAM self) -> BOOL {
                    DWORD pid = 0;
                    wchar_t cls[64] = {};
                    GetWindowThreadProcessId(w, &pid);
                    GetClassNameW(w, cls, 64);
                    if (pid == GetCurrentProcessId() && std::wstring(cls) == L"#32770" && IsWindowVisible(w))
                        reinterpret_cast<BoxAnswerer*>(self)->Answer(w);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(this));
            Sleep(20);
        }
    }
    void Answer(HWND w) {
        Box box;
        wchar_t buf[512] = {};
        GetWindowTextW(w, buf, 512);
        box.title = buf;
        GetDlgItemTextW(w, 0xFFFF, buf, 512);
        box.text = buf;
        EnumChildWindows(
            w,
            [](HWND c, LPARAM n) -> BOOL {
                wchar_t cls[64] = {};
                GetClassNameW(c, cls, 64);
                if (std::wstring(cls) == L"Button" && IsWindowVisible(c)) ++*reinterpret_cast<int*>(n);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&box.buttons));
        {
            std::lock_guard lock(mutex_);
            boxes_.push_back(box);
        }
        SendMessageW(w, WM_COMMAND, IDOK, 0);
    }

    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::thread thread_;
};

class ShowWebPageWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = fs::path(temp) / ("trevalon-web-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(root_ / "program");
        fs::create_directories(root_ / "calls");
        // The build is Linux-side; Wine sees its folders on Z:.
        fs::copy_file(fs::path("Z:" STAND_IN_BROWSER), root_ / "browser.exe", fs::copy_options::overwrite_existing);
        oldClass_ = DefaultValue(L".htm");
        SetDefaultValue(L".htm", L"TrevalonTestBrowser");
        SetDefaultValue(L"TrevalonTestBrowser\\shell\\open\\command",
                        L"\"" + (root_ / "browser.exe").wstring() + L"\" %1");
    }
    void TearDown() override {
        SetDefaultValue(L".htm", oldClass_);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kClasses) + L"TrevalonTestBrowser").c_str());
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    void Open(const std::string& url, fs::path program = {}) {
        if (program.empty()) program = root_ / "program";
        ShowWebPage(url, nullptr, {program, {}}, [this](std::int32_t n, std::int32_t l, const std::string& d) {
            handOffs_.push_back({n, l, d});
        });
    }

    // The recorded command lines, once `count` have come and a little more time shows no others.
    std::vector<std::wstring> Calls(std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        std::vector<std::wstring> calls;
        for (;;) {
            calls.clear();
            for (const auto& e : fs::directory_iterator(root_ / "calls")) {
                if (e.path().extension() != ".txt") continue;
                std::ifstream in(e.path(), std::ios::binary);
                std::string bytes((std::istreambuf_iterator<char>(in)), {});
                calls.emplace_back(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
            }
            if (calls.size() >= count && (count > 0 || std::chrono::steady_clock::now() > deadline - 9s)) break;
            if (std::chrono::steady_clock::now() > deadline) break;
            Sleep(50);
        }
        return calls;
    }

    bool PlaceholderLeft() const { return fs::exists(root_ / "program" / kPlaceholderName); }

    struct HandOff {
        std::int32_t number, location;
        std::string description;
    };
    fs::path root_;
    std::wstring oldClass_;
    std::vector<HandOff> handOffs_;
};

TEST_F(ShowWebPageWin32, StartsTheBrowserOncePerCallWithTheAddressUnchanged) {
    BoxAnswerer boxes;
    Open("http://www.mirrowin.example");
    Open("http://www.mirrowin.example/a b  c?q=x y ");
    auto calls = Calls(2);
    std::sort(calls.begin(), calls.end());
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"http://www.mirrowin.example",
                                                L"http://www.mirrowin.example/a b  c?q=x y "}));
    EXPECT_FALSE(PlaceholderLeft());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(handOffs_.empty());
}

TEST_F(ShowWebPageWin32, NoAssociationShowsOnlyBrowserNotFound) {
    SetDefaultValue(L".htm", L"TrevalonNoSuchClass");
    BoxAnswerer boxes;
    Open("http://www.mirrowin.example");
    const auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, L"Browser Not Found");
    EXPECT_EQ(shown[0].text, L"Could not find associated Browser");
    EXPECT_EQ(shown[0].buttons, 1);
    EXPECT_TRUE(Calls(0).empty());
    EXPECT_FALSE(PlaceholderLeft());
    EXPECT_TRUE(handOffs_.empty());
}

TEST_F(ShowWebPageWin32, UnwritableProgramFolderHandsOffWithLocation45) {
    BoxAnswerer boxes;
    Open("http://www.mirrowin.example", root_ / "no-such-folder");
    ASSERT_EQ(handOffs_.size(), 1u);
    EXPECT_EQ(handOffs_[0].location, 45);
    EXPECT_EQ(handOffs_[0].number, 75);
    EXPECT_TRUE(Calls(0).empty());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ShowWebPageWin32, DefaultFolderIsTheProgramsOwn) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    EXPECT_EQ(DefaultPlaceholderFolders().programFolder, fs::path(exe).parent_path());
}

}  // namespace
}  // namespace trevalon::web
