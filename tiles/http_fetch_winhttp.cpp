// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>
#include <winhttp.h>

#include <string>
#include <vector>

#include "http_fetch.h"

namespace quillet::tiles {

namespace {

constexpr int kResolveMilliseconds = 5000;
constexpr int kConnectMilliseconds = 5000;
constexpr int kTransferMilliseconds = 15000;

std::wstring wide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size);
    return result;
}

std::string header(HINTERNET request, const wchar_t* name) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_CUSTOM, name, WINHTTP_NO_OUTPUT_BUFFER, &size,
                        WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) {
        return {};
    }
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CUSTOM, name, value.data(), &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    value.resize(size / sizeof(wchar_t));
    std::string result;
    for (const wchar_t c : value) {
        result += c < 0x80 ? static_cast<char>(c) : '?';  // the headers read are ASCII
    }
    return result;
}

// Closes a WinHTTP handle at the end of its scope.
struct Handle {
    HINTERNET handle = nullptr;
    ~Handle() {
        if (handle != nullptr) {
            WinHttpCloseHandle(handle);
        }
    }
};

}  // namespace

map::TileResponse httpGet(const map::TileRequest& request) {
    map::TileResponse response;
    std::wstring url = wide(request.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) {
        return response;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    const Handle session{WinHttpOpen(wide(request.userAgent).c_str(),
                                     WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                     WINHTTP_NO_PROXY_BYPASS, 0)};
    if (session.handle == nullptr) {
        return response;
    }
    WinHttpSetTimeouts(session.handle, kResolveMilliseconds, kConnectMilliseconds,
                       kTransferMilliseconds, kTransferMilliseconds);
    const Handle connection{WinHttpConnect(session.handle, host.c_str(), parts.nPort, 0)};
    if (connection.handle == nullptr) {
        return response;
    }
    const Handle call{
        WinHttpOpenRequest(connection.handle, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                           WINHTTP_DEFAULT_ACCEPT_TYPES,
                           parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0)};
    if (call.handle == nullptr) {
        return response;
    }
    std::wstring headers;
    if (!request.ifNoneMatch.empty()) {
        headers += L"If-None-Match: " + wide(request.ifNoneMatch) + L"\r\n";
    }
    if (!request.ifModifiedSince.empty()) {
        headers += L"If-Modified-Since: " + wide(request.ifModifiedSince) + L"\r\n";
    }
    if (!WinHttpSendRequest(
            call.handle, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
            headers.empty() ? 0 : static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(call.handle, nullptr)) {
        return response;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(call.handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return response;
    }
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(call.handle, &available)) {
            return {};
        }
        if (available == 0) {
            break;
        }
        std::vector<char> chunk(available);
        DWORD read = 0;
        if (!WinHttpReadData(call.handle, chunk.data(), available, &read)) {
            return {};
        }
        response.body.append(chunk.data(), read);
    }
    response.status = static_cast<int>(status);
    response.headers = {header(call.handle, L"Cache-Control"), header(call.handle, L"Expires"),
                        header(call.handle, L"Date"), header(call.handle, L"ETag"),
                        header(call.handle, L"Last-Modified")};
    return response;
}

}  // namespace quillet::tiles
