#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>

namespace quillet::win {

// What the window keeps between runs, under HKEY_CURRENT_USER\Software\Quillet.

// The last folder a window was opened on; nothing when there is none yet.
std::optional<std::filesystem::path> lastFolder();
void rememberFolder(const std::filesystem::path& folder);

// The window's size and position when it was last closed.
std::optional<WINDOWPLACEMENT> lastPlacement();
void rememberPlacement(HWND window);

}  // namespace quillet::win
