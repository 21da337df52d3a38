#include "net/inet.h"

#include <curl/curl.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "net/address_encoding.h"

namespace trevalon::net {

namespace {

// No page of the maker's site comes near this; anything bigger is not ours.
constexpr std::size_t kMaxBody = 1024 * 1024;
constexpr long kMaxRedirects = 5;

void GlobalInitOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            throw TransferError("the HTTP library could not be initialised");
    });
}

struct Body {
    std::string text;
    bool tooLong = false;
};

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
    auto* body = static_cast<Body*>(user);
    const std::size_t n = size * count;
    if (body->text.size() + n > kMaxBody) {
        body->tooLong = true;
        return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    body->text.append(data, n);
    return n;
}

// Proxies from the environment are honoured, but never for this machine itself.
std::string NoProxyList() {
    std::string list = "localhost,127.0.0.1,::1";
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        if (const char* more = std::getenv(name); more && *more) {
            list += ',';
            list += more;
            break;
        }
    }
    return list;
}

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};

}  // namespace

std::string Inet::OpenURL() {
    GlobalInitOnce();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) throw TransferError("no HTTP handle");
    CURL* h = easy.get();

    const std::string address = EncodeAddress(URL);
    Body body;
    char message[CURL_ERROR_SIZE] = {};
    long timeoutMs = static_cast<long>(requestTimeout_.count());
    if (timeoutMs < 1) timeoutMs = 1;  // 0 would mean "no limit" to libcurl

    const std::string noProxy = NoProxyList();
    curl_easy_setopt(h, CURLOPT_URL, address.c_str());
    curl_easy_setopt(h, CURLOPT_NOPROXY, noProxy.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBody));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, message);

    const CURLcode rc = curl_easy_perform(h);
    if (body.tooLong) throw TransferError("answer longer than 1 MiB");
    if (rc != CURLE_OK) {
        std::string what = message[0] != '\0' ? message : curl_easy_strerror(rc);
        throw TransferError(what + " (" + std::to_string(static_cast<int>(rc)) + ")");
    }
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299)
        throw TransferError("HTTP status " + std::to_string(status));
    return BodyAsUtf8(body.text);
}

}  // namespace trevalon::net
