// An address taken apart by libcurl's own parser: what the transfer control
// will really connect to.
#pragma once

#include <curl/curl.h>

#include <optional>
#include <string>

namespace fuzz {

struct UrlParts {
    std::string scheme, host, port, path, query;
};

inline std::optional<UrlParts> ParseUrl(const std::string& address) {
    CURLU* url = curl_url();
    if (url == nullptr) return std::nullopt;
    std::optional<UrlParts> parts;
    if (curl_url_set(url, CURLUPART_URL, address.c_str(), 0) == CURLUE_OK) {
        parts.emplace();
        const auto get = [&](CURLUPart part, std::string& out) {
            char* text = nullptr;
            if (curl_url_get(url, part, &text, 0) == CURLUE_OK && text != nullptr) out = text;
            curl_free(text);
        };
        get(CURLUPART_SCHEME, parts->scheme);
        get(CURLUPART_HOST, parts->host);
        get(CURLUPART_PORT, parts->port);
        get(CURLUPART_PATH, parts->path);
        get(CURLUPART_QUERY, parts->query);
    }
    curl_url_cleanup(url);
    return parts;
}

}  // namespace fuzz
