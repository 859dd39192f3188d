// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A catalogue of malformed device folders: cut headers, files that end inside a record,
// absurd counts, odd record lengths, lying length words, empty and unreadable files,
// folders where files belong and a folder that cannot be written. Every case is run
// through the core and through the command line; none may crash, hang or lose data.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace quillet::testing {

using FolderBytes = std::map<std::string, std::vector<std::uint8_t>>;

enum class Access {
    Normal,
    UnreadableFiles,  // the device files get mode 000
    ReadOnlyFolder,   // the folder gets mode 555 before the deletion
};

struct BadFolder {
    std::string label{};                     // letters, digits and underscores: a test name
    FolderBytes files{};                     // device files by name
    std::vector<std::string> directories{};  // folders that carry a device file's name
    // Files that grow to this size after their bytes, the rest a hole (sparse).
    std::map<std::string, std::uintmax_t> sparseSizes{};
    Access access = Access::Normal;

    // What the person must be told: a text every run must show (empty: nothing needed).
    std::string fillMessage{};
    // The deletion of the first record must be refused (or fail) with a message that
    // names this file or its temporary file; empty when the deletion may go through.
    std::string deletionRefusedFor{};
    // The core's peak resident memory, measured in a process of its own, must stay below
    // this (0: not measured).
    std::size_t peakMiB = 0;
};

std::vector<BadFolder> badFolders();

// Test output names a case by its label.
void PrintTo(const BadFolder& folder, std::ostream* out);

// Writes the folder's files and directories into `dir` (without the access changes).
void writeBadFolder(const BadFolder& folder, const std::filesystem::path& dir);
// Takes the access the folder's case asks for away (restrict) or gives it back.
void restrictAccess(const BadFolder& folder, const std::filesystem::path& dir, bool restrict);

// The regular files of a folder with their bytes; a file larger than 64 MiB by its first
// 64 KiB and its size.
FolderBytes folderContents(const std::filesystem::path& dir);

// Every device file of `before` exists with its bytes under its own name or under its
// backup's name in `after`, and no temporary file is left. Empty when so, otherwise
// what is wrong.
std::string lostData(const FolderBytes& before, const FolderBytes& after);

// The messages the program has always shown, and the only ones that need not name a file.
bool isKnownMessage(const std::string& text);

}  // namespace quillet::testing
