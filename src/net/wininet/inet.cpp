// The transfer control over WinINet, the HTTP client every Windows has.
#include "net/inet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <string>

#include "net/address_encoding.h"

namespace trevalon::net {

namespace {

using Clock = std::chrono::steady_clock;

// No page of the maker's site comes near this; anything bigger is not ours.
constexpr std::size_t kMaxBody = 1024 * 1024;
constexpr int kMaxRedirects = 5;

[[noreturn]] void Fail(const std::string& what) { throw TransferError(what); }

[[noreturn]] void FailWithLastError(const char* step) {
    Fail(std::string(step) + " failed (WinINet error " + std::to_string(GetLastError()) + ")");
}

class Handle {
public:
    explicit Handle(HINTERNET h) : h_(h) {}
    ~Handle() {
        if (h_ != nullptr) InternetCloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return h_; }

private:
    HINTERNET h_;
};

// An encoded address holds ASCII only, so each byte is one wide character.
std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

struct Target {
    bool secure = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring object;  // path and query
};

Target Crack(const std::wstring& address) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (address.empty() ||
        !InternetCrackUrlW(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts))
        Fail("not a web address");
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        Fail("only http and https addresses are fetched");
    Target t;
    t.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    t.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    t.port = parts.nPort;
    if (parts.lpszUrlPath != nullptr) t.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo != nullptr) t.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (t.host.empty()) Fail("an address without a host");
    if (t.object.empty()) t.object = L"/";
    return t;
}

// Proxies from the system are honoured, but never for this machine itself.
bool IsLoopback(std::wstring host) {
    std::transform(host.begin(), host.end(), host.begin(), [](wchar_t c) { return std::towlower(c); });
    return host == L"localhost" || host.rfind(L"127.", 0) == 0 || host == L"::1" || host == L"[::1]";
}

DWORD MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) Fail("no answer within the request time-out");
    return static_cast<DWORD>(left.count());
}

// WinINet's time-outs bound single steps; each one gets what is left of the
// whole request's time, so the steps together stay within it.
void LimitNextStep(HINTERNET request, Clock::time_point deadline) {
    DWORD ms = MillisecondsLeft(deadline);
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(request, option, &ms, sizeof ms);
}

DWORD StatusOf(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        FailWithLastError("reading the status");
    return status;
}

std::wstring HeaderOf(HINTERNET request, DWORD which) {
    std::wstring value(256, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        if (HttpQueryInfoW(request, which, value.data(), &size, nullptr)) {
            value.resize(size / sizeof(wchar_t));
            return value;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        value.resize(size / sizeof(wchar_t) + 1);
    }
}

// The next address after a redirect: its target, resolved against the last one.
std::wstring Resolve(const std::wstring& base, const std::wstring& location) {
    std::wstring out(2048, L'\0');
    DWORD size = static_cast<DWORD>(out.size());
    if (!InternetCombineUrlW(base.c_str(), location.c_str(), out.data(), &size, ICU_NO_ENCODE)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) Fail("an unusable redirect");
        out.assign(size + 1, L'\0');
        size = static_cast<DWORD>(out.size());
        if (!InternetCombineUrlW(base.c_str(), location.c_str(), out.data(), &size, ICU_NO_ENCODE))
            Fail("an unusable redirect");
    }
    out.resize(size);
    return Widen(EncodeAddress(Narrow(out)));
}

std::string ReadBody(HINTERNET request, Clock::time_point deadline) {
    std::string body;
    char chunk[16 * 1024];
    for (;;) {
        LimitNextStep(request, deadline);
        DWORD got = 0;
        if (!InternetReadFile(request, chunk, sizeof chunk, &got)) FailWithLastError("receiving the answer");
        if (got == 0) return body;
        if (body.size() + got > kMaxBody) Fail("answer longer than 1 MiB");
        body.append(chunk, got);
    }
}

bool IsRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

std::string Inet::OpenURL() {
    const auto deadline = Clock::now() + requestTimeout_;
    std::wstring address = Widen(EncodeAddress(URL));
    for (int redirects = 0;; ++redirects) {
        const Target target = Crack(address);
        const Handle session(InternetOpenW(
            L"Trevalon", IsLoopback(target.host) ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PRECONFIG,
            nullptr, nullptr, 0));
        if (session.get() == nullptr) FailWithLastError("opening WinINet");
        const Handle connection(InternetConnectW(session.get(), target.host.c_str(), target.port, nullptr,
                                                 nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        if (connection.get() == nullptr) FailWithLastError("connecting");
        // Redirects are followed here, to keep them to web addresses and to a few.
        DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                      INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;
        if (target.secure) flags |= INTERNET_FLAG_SECURE;
        const Handle request(HttpOpenRequestW(connection.get(), L"GET", target.object.c_str(), nullptr,
                                              nullptr, nullptr, flags, 0));
        if (request.get() == nullptr) FailWithLastError("opening the request");
        LimitNextStep(request.get(), deadline);
        if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) FailWithLastError("the request");

        const DWORD status = StatusOf(request.get());
        if (IsRedirect(status)) {
            const std::wstring location = HeaderOf(request.get(), HTTP_QUERY_LOCATION);
            if (location.empty()) Fail("a redirect without a target");
            if (redirects == kMaxRedirects) Fail("more than 5 redirects");
            address = Resolve(address, location);
            continue;
        }
        if (status < 200 || status > 299) Fail("HTTP status " + std::to_string(status));
        return BodyAsUtf8(ReadBody(request.get(), deadline));
    }
}

}  // namespace trevalon::net
