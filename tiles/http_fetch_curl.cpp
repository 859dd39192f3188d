// SPDX-License-Identifier: GPL-3.0-or-later
#include <curl/curl.h>

#include <cctype>
#include <string_view>

#include "http_fetch.h"

namespace quillet::tiles {

namespace {

constexpr long kConnectSeconds = 5;
constexpr long kTotalSeconds = 15;

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

bool isHeader(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':') {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) !=
            std::tolower(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return true;
}

// Keeps the headers the cache reads; a redirect's headers are replaced by the next's.
std::size_t keepHeader(char* data, std::size_t size, std::size_t count, void* target) {
    auto& headers = *static_cast<map::ResponseHeaders*>(target);
    std::string_view line(data, size * count);
    if (line.substr(0, 5) == "HTTP/") {
        headers = {};
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    for (const auto& [name, field] :
         {std::pair{"Cache-Control", &headers.cacheControl}, std::pair{"Expires", &headers.expires},
          std::pair{"Date", &headers.date}, std::pair{"ETag", &headers.etag},
          std::pair{"Last-Modified", &headers.lastModified}}) {
        const std::string_view key(name);
        if (isHeader(line, key)) {
            std::string_view value = line.substr(key.size() + 1);
            while (!value.empty() && value.front() == ' ') {
                value.remove_prefix(1);
            }
            *field = std::string(value);
        }
    }
    return size * count;
}

}  // namespace

map::TileResponse httpGet(const map::TileRequest& request) {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    map::TileResponse response;
    CURL* curl = initialised ? curl_easy_init() : nullptr;
    if (curl == nullptr) {
        return response;
    }
    curl_slist* headers = nullptr;
    if (!request.ifNoneMatch.empty()) {
        headers = curl_slist_append(headers, ("If-None-Match: " + request.ifNoneMatch).c_str());
    }
    if (!request.ifModifiedSince.empty()) {
        headers =
            curl_slist_append(headers, ("If-Modified-Since: " + request.ifModifiedSince).c_str());
    }
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 3L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, kTotalSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response.body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, keepHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &response.headers);
    if (curl_easy_perform(curl) == CURLE_OK) {
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        response.status = static_cast<int>(status);
    } else {
        response = {};
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return response;
}

}  // namespace quillet::tiles
