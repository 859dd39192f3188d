// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

namespace quillet::win {

// What the window keeps between runs, under HKEY_CURRENT_USER\Software\Quillet.

// The last folder a window was opened on; nothing when there is none yet.
std::optional<std::filesystem::path> lastFolder();
void rememberFolder(const std::filesystem::path& folder);

// The window's size and position when it was last closed.
std::optional<WINDOWPLACEMENT> lastPlacement();
void rememberPlacement(HWND window);

// The preview's map as the core writes its setting (map::settingOf); nothing before the
// person first chose one.
std::optional<std::string> lastMapSetting();
void rememberMapSetting(const std::string& setting);

}  // namespace quillet::win
