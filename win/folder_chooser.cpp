// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_chooser.h"

#include <shlobj.h>

#include <string>

namespace quillet::win {

std::optional<std::filesystem::path> askForFolder(HWND owner, const wchar_t* title,
                                                  const std::filesystem::path& startIn) {
    const std::wstring start = startIn.wstring();
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = [](HWND window, UINT message, LPARAM, LPARAM data) -> int {
        if (message == BFFM_INITIALIZED && data != 0 &&
            *reinterpret_cast<const wchar_t*>(data) != L'\0') {
            SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
        }
        return 0;
    };
    browse.lParam = reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (chosen == nullptr) {
        return std::nullopt;
    }
    wchar_t path[MAX_PATH] = {};
    const bool named = SHGetPathFromIDListW(chosen, path) != 0;
    CoTaskMemFree(chosen);
    if (!named || path[0] == L'\0') {
        return std::nullopt;
    }
    return std::filesystem::path(path);
}

}  // namespace quillet::win
