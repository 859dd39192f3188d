// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "text/translation.h"

namespace quillet::win {

// What quillet.exe's command line asks for: `quillet [--choose-folder] [FOLDER]`, the
// same as the other window's.
struct WindowArguments {
    std::optional<std::filesystem::path> folder;
    bool chooseFolder = false;  // without a folder, ask for one first
    bool help = false;
    bool version = false;
    std::string error;  // not empty when the command line is wrong
};

inline constexpr const char* kWindowUsage = QUILLET_TEXT(
    "Usage: quillet [--choose-folder] [FOLDER]\n"
    "Opens the GPS device files of FOLDER, by default of the working directory.\n"
    "  --choose-folder  ask for the folder, again until one holds device files\n"
    "  --help           show this text and end\n"
    "  --version        show the version and end\n");
inline constexpr const char* kWindowVersion = "quillet 1.0\n";

// The arguments after the program name.
WindowArguments parseWindowArguments(const std::vector<std::wstring>& arguments);

}  // namespace quillet::win
