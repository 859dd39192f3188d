// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillet {

// A path as UTF-8 text for a message, in the platform's own form (back slashes on
// Windows). path::string() would use the ANSI code page there and lose every letter
// outside it.
inline std::string pathText(const std::filesystem::path& path) {
    std::filesystem::path shown = path;
    shown.make_preferred();
    const std::u8string text = shown.u8string();
    return std::string(text.begin(), text.end());
}

// The path that UTF-8 text (a command-line argument, a window's text) names. A path
// built from a std::string would read it in the ANSI code page on Windows.
inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace quillet
