// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>

namespace quillet::win {

// The shell's folder chooser with the title, opened at `startIn` (none when empty);
// nothing when cancelled or when the choice has no file-system path.
std::optional<std::filesystem::path> askForFolder(HWND owner, const wchar_t* title,
                                                  const std::filesystem::path& startIn);

}  // namespace quillet::win
