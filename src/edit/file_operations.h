// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>

#include "device/file_snapshot.h"
#include "edit/platform_files.h"

namespace quillet {

// Every file operation a deletion performs, so that tests can make any one of them
// fail. Each call either does its whole job or reports that it failed.
class FileOperations {
public:
    virtual ~FileOperations() = default;

    // Opens an existing file for binary reading ("rb"); nullptr when it does not open.
    virtual std::FILE* openForReading(const std::filesystem::path& path) = 0;
    // Creates a new file for binary writing, exclusively: it fails when anything has the
    // name already, and never writes through a link. nullptr when it fails.
    virtual std::FILE* createForWriting(const std::filesystem::path& path) = 0;
    // Reads up to dest.size() bytes; fewer only when the file ends. Nothing on an
    // error of the device or the system.
    virtual std::optional<std::size_t> read(std::FILE* file, std::span<std::uint8_t> dest) = 0;
    // Writes all the bytes or fails.
    virtual bool write(std::FILE* file, std::span<const std::uint8_t> bytes) = 0;
    // Hands the written bytes to the system and waits until they are on the disk.
    virtual bool flushToDisk(std::FILE* file) = 0;
    // Closes the file; it is closed afterwards even when this reports a failure.
    virtual bool close(std::FILE* file) = 0;
    // Removes a name (never a folder, never what a link points to). True when the name
    // is gone, also when there was nothing to remove.
    virtual bool removeFile(const std::filesystem::path& path) = 0;
    // Gives the file `from` the name `to`, replacing a file of that name in one step;
    // fails when `from` cannot be moved.
    virtual bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Gives an existing file a second name; fails where the file system has no hard
    // links (a memory card formatted with FAT, for one).
    virtual bool linkFile(const std::filesystem::path& existing,
                          const std::filesystem::path& newName) = 0;
    // Size, modification time and identity of the file a path names, with the record
    // count a caller pairs it with; the content is not read (its hash stays empty).
    virtual std::optional<FileSnapshot> snapshot(const std::filesystem::path& path,
                                                 std::uint32_t recordCount) = 0;
    // Makes the names in a folder (after a rename) last on the disk.
    virtual bool syncDirectory(const std::filesystem::path& directory) = 0;

    // The operations below default to the system's, so that a fake overrides only
    // those it watches.

    // Takes the lock deletions share on an open file, waiting at most `patience`.
    virtual platform::LockStatus lock(std::FILE* file, std::chrono::milliseconds patience);
    // Identity, permissions and owner of an open file opened by the name `path`.
    virtual std::optional<platform::FileFacts> facts(std::FILE* file,
                                                     const std::filesystem::path& path);
    // Gives a new file the permissions, and where allowed the owner, of another.
    virtual bool copyAccess(const platform::FileFacts& from, std::FILE* to);
    // The file a device file's path stands for: itself, or what its link names.
    virtual std::optional<std::filesystem::path> realPath(const std::filesystem::path& path);
};

// The operations of the system this program was built for.
class SystemFileOperations final : public FileOperations {
public:
    std::FILE* openForReading(const std::filesystem::path& path) override;
    std::FILE* createForWriting(const std::filesystem::path& path) override;
    std::optional<std::size_t> read(std::FILE* file, std::span<std::uint8_t> dest) override;
    bool write(std::FILE* file, std::span<const std::uint8_t> bytes) override;
    bool flushToDisk(std::FILE* file) override;
    bool close(std::FILE* file) override;
    bool removeFile(const std::filesystem::path& path) override;
    bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool linkFile(const std::filesystem::path& existing,
                  const std::filesystem::path& newName) override;
    std::optional<FileSnapshot> snapshot(const std::filesystem::path& path,
                                         std::uint32_t recordCount) override;
    bool syncDirectory(const std::filesystem::path& directory) override;
};

}  // namespace quillet
