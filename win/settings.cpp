// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings.h"

#include <string>

#include "wide_text.h"

namespace quillet::win {

namespace {

constexpr wchar_t kKey[] = L"Software\\Quillet";
constexpr wchar_t kFolderValue[] = L"LastFolder";
constexpr wchar_t kPlacementValue[] = L"WindowPlacement";
constexpr wchar_t kMapValue[] = L"PreviewMap";

void store(const wchar_t* value, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, value, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

}  // namespace

std::optional<std::filesystem::path> lastFolder() {
    wchar_t text[MAX_PATH * 4] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kFolderValue, RRF_RT_REG_SZ, nullptr, text, &size) !=
            ERROR_SUCCESS ||
        text[0] == L'\0') {
        return std::nullopt;
    }
    return std::filesystem::path(text);
}

void rememberFolder(const std::filesystem::path& folder) {
    const std::wstring text = folder.wstring();
    store(kFolderValue, REG_SZ, text.c_str(),
          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::optional<WINDOWPLACEMENT> lastPlacement() {
    WINDOWPLACEMENT placement{};
    DWORD size = sizeof placement;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kPlacementValue, RRF_RT_REG_BINARY, nullptr,
                     &placement, &size) != ERROR_SUCCESS ||
        size != sizeof placement || placement.length != sizeof placement) {
        return std::nullopt;
    }
    return placement;
}

void rememberPlacement(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement) != 0) {
        store(kPlacementValue, REG_BINARY, &placement, sizeof placement);
    }
}

std::optional<std::string> lastMapSetting() {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kMapValue, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kMapValue, RRF_RT_REG_SZ, nullptr, text.data(),
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(text.find(L'\0'));
    return toUtf8(text);
}

void rememberMapSetting(const std::string& setting) {
    const std::wstring text = toWide(setting);
    store(kMapValue, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace quillet::win
