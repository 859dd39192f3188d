// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The operating system's side of rewriting a device file: one implementation file per
// system (platform_files_posix.cpp). Files are std::FILE handles; nothing of a
// system's own types appears here. Every call either does its whole job or reports
// that it failed; none throws.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>

#include "device/file_snapshot.h"

namespace quillet::platform {

// What a deletion must know of the device file it holds open.
struct FileFacts {
    FileIdentity identity;
    std::uint32_t permissions = 0;  // the permission bits, as the system counts them
    std::uint64_t owner = 0;
    std::uint64_t group = 0;
    // Marked read-only: nobody may write it, or the one running the program may not.
    bool readOnly = false;
};

enum class LockStatus {
    Locked,  // this open file holds the lock until it is closed
    Busy,    // another open file held it for the whole patience
    Failed,  // the system cannot lock the file
};

// Opens an existing file for binary reading; nullptr when it does not open.
std::FILE* openForReading(const std::filesystem::path& path);
// Creates a new, empty file for binary writing that only its owner may read. Fails when
// anything (a file, a link, a dangling link, a folder) already has the name, so nothing
// is ever written through a name this call did not create.
std::FILE* createExclusive(const std::filesystem::path& path);
// Reads up to dest.size() bytes; fewer only when the file ends. Nothing on an error.
std::optional<std::size_t> read(std::FILE* file, std::span<std::uint8_t> dest);
// Writes all the bytes or fails.
bool write(std::FILE* file, std::span<const std::uint8_t> bytes);
// Hands the written bytes to the system and waits until they are on the disk.
bool flushToDisk(std::FILE* file);
// Closes the file (also when this reports a failure), releasing its lock.
bool close(std::FILE* file);
// Removes a name, never a folder; whatever the name stood for is not opened. True
// when the name is gone, also when there was nothing to remove.
bool removeName(const std::filesystem::path& path);
// Gives `from` the name `to` in one step, replacing what had that name.
bool rename(const std::filesystem::path& from, const std::filesystem::path& to);
// Gives an existing file a second name; fails where the file system has no hard links.
bool link(const std::filesystem::path& existing, const std::filesystem::path& newName);
// Makes the names in a folder (after a rename) last on the disk.
bool syncDirectory(const std::filesystem::path& directory);
// Takes the advisory lock that deletions share on an open file, waiting at most
// `patience` for another holder to let go.
LockStatus lockExclusive(std::FILE* file, std::chrono::milliseconds patience);
// Identity, permissions and owner of an open file; `path` is the name it was opened by.
std::optional<FileFacts> factsOf(std::FILE* file, const std::filesystem::path& path);
// Gives a file this run created the permission bits of `from` and, where the system
// allows this process to, its owner and group. False when the new file would be open to
// anyone the old one was not.
bool copyAccess(const FileFacts& from, std::FILE* to);
// The path itself when it is not a symbolic link; otherwise the file it names once
// every link is followed, or nothing when it names none.
std::optional<std::filesystem::path> realPath(const std::filesystem::path& path);
// The folder where this user's history of replaced device files is kept:
// $XDG_DATA_HOME/quillet/history (else ~/.local/share/quillet/history), or
// %LOCALAPPDATA%\Quillet\history on Windows. Nothing when the environment names no
// home for it.
std::optional<std::filesystem::path> historyFolder();
// Creates a folder and its parents, for this user alone where they are new.
bool createPrivateFolders(const std::filesystem::path& folder);

}  // namespace quillet::platform
