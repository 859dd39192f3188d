#include "edit/file_operations.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quillet {

std::FILE* SystemFileOperations::openForReading(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "rb");
}

std::FILE* SystemFileOperations::createForWriting(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "wb");
}

std::optional<std::size_t> SystemFileOperations::read(std::FILE* file,
                                                      std::span<std::uint8_t> dest) {
    const std::size_t delivered = std::fread(dest.data(), 1, dest.size(), file);
    if (delivered < dest.size() && std::ferror(file) != 0) {
        return std::nullopt;
    }
    return delivered;
}

bool SystemFileOperations::write(std::FILE* file, std::span<const std::uint8_t> bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool SystemFileOperations::flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool SystemFileOperations::close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool SystemFileOperations::removeFile(const std::filesystem::path& path) {
    // unlink, unlike remove, leaves a folder of that name alone.
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool SystemFileOperations::renameFile(const std::filesystem::path& from,
                                      const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool SystemFileOperations::linkFile(const std::filesystem::path& existing,
                                    const std::filesystem::path& newName) {
    return ::link(existing.c_str(), newName.c_str()) == 0;
}

std::optional<FileSnapshot> SystemFileOperations::snapshot(const std::filesystem::path& path,
                                                           std::uint32_t recordCount) {
    return takeSnapshot(path, recordCount);
}

bool SystemFileOperations::syncDirectory(const std::filesystem::path& directory) {
    const std::filesystem::path folder = directory.empty() ? "." : directory;
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool synced = ::fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && synced;
}

}  // namespace quillet
