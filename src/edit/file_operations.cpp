// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/file_operations.h"

#include <system_error>

namespace quillet {

platform::LockStatus FileOperations::lock(std::FILE* file, std::chrono::milliseconds patience) {
    return platform::lockExclusive(file, patience);
}

std::optional<platform::FileFacts> FileOperations::facts(std::FILE* file,
                                                         const std::filesystem::path& path) {
    return platform::factsOf(file, path);
}

bool FileOperations::copyAccess(const platform::FileFacts& from, std::FILE* to) {
    return platform::copyAccess(from, to);
}

std::optional<std::filesystem::path> FileOperations::realPath(const std::filesystem::path& path) {
    return platform::realPath(path);
}

std::FILE* SystemFileOperations::openForReading(const std::filesystem::path& path) {
    return platform::openForReading(path);
}

std::FILE* SystemFileOperations::createForWriting(const std::filesystem::path& path) {
    return platform::createExclusive(path);
}

std::optional<std::size_t> SystemFileOperations::read(std::FILE* file,
                                                      std::span<std::uint8_t> dest) {
    return platform::read(file, dest);
}

bool SystemFileOperations::write(std::FILE* file, std::span<const std::uint8_t> bytes) {
    return platform::write(file, bytes);
}

bool SystemFileOperations::flushToDisk(std::FILE* file) {
    return platform::flushToDisk(file);
}

bool SystemFileOperations::close(std::FILE* file) {
    return platform::close(file);
}

bool SystemFileOperations::removeFile(const std::filesystem::path& path) {
    return platform::removeName(path);
}

bool SystemFileOperations::renameFile(const std::filesystem::path& from,
                                      const std::filesystem::path& to) {
    return platform::rename(from, to);
}

bool SystemFileOperations::linkFile(const std::filesystem::path& existing,
                                    const std::filesystem::path& newName) {
    return platform::link(existing, newName);
}

std::optional<FileSnapshot> SystemFileOperations::snapshot(const std::filesystem::path& path,
                                                           std::uint32_t recordCount) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    const auto modified = std::filesystem::last_write_time(path, error);
    const auto identity = identityOf(path);
    if (error || !identity) {
        return std::nullopt;
    }
    return FileSnapshot{.size = size,
                        .modified = modified,
                        .recordCount = recordCount,
                        .identity = *identity,
                        .content = std::nullopt};
}

bool SystemFileOperations::syncDirectory(const std::filesystem::path& directory) {
    return platform::syncDirectory(directory);
}

}  // namespace quillet
