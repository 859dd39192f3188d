// SPDX-License-Identifier: GPL-3.0-or-later
#if !defined(_WIN32)

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "edit/platform_files.h"

namespace quillet::platform {

std::FILE* openForReading(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "rb");
}

std::FILE* createExclusive(const std::filesystem::path& path) {
    const int descriptor =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        ::close(descriptor);
        ::unlink(path.c_str());
    }
    return file;
}

std::optional<std::size_t> read(std::FILE* file, std::span<std::uint8_t> dest) {
    const std::size_t delivered = std::fread(dest.data(), 1, dest.size(), file);
    if (delivered < dest.size() && std::ferror(file) != 0) {
        return std::nullopt;
    }
    return delivered;
}

bool write(std::FILE* file, std::span<const std::uint8_t> bytes) {
    // An empty piece (a file with nothing after its records) may have no buffer at all.
    if (bytes.empty()) {
        return true;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool removeName(const std::filesystem::path& path) {
    // unlink, unlike remove, leaves a folder of that name alone, and removes a link
    // rather than what it points to.
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool link(const std::filesystem::path& existing, const std::filesystem::path& newName) {
    return ::link(existing.c_str(), newName.c_str()) == 0;
}

bool syncDirectory(const std::filesystem::path& directory) {
    const std::filesystem::path folder = directory.empty() ? "." : directory;
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool synced = ::fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && synced;
}

LockStatus lockExclusive(std::FILE* file, std::chrono::milliseconds patience) {
    constexpr auto kStep = std::chrono::milliseconds(10);
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(::fileno(file), LOCK_EX | LOCK_NB) == 0) {
            return LockStatus::Locked;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return LockStatus::Failed;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            return LockStatus::Busy;
        }
        std::this_thread::sleep_for(kStep);
    }
}

std::optional<FileFacts> factsOf(std::FILE* file, const std::filesystem::path& path) {
    struct stat facts {};
    if (::fstat(::fileno(file), &facts) != 0) {
        return std::nullopt;
    }
    const bool nobodyWrites = (facts.st_mode & 0222) == 0;
    // A privileged process may write anything; the bits still say what the person meant.
    const bool notForUs = ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
    return FileFacts{
        .identity = {static_cast<std::uint64_t>(facts.st_dev),
                     static_cast<std::uint64_t>(facts.st_ino)},
        .permissions = static_cast<std::uint32_t>(facts.st_mode & 07777),
        .owner = static_cast<std::uint64_t>(facts.st_uid),
        .group = static_cast<std::uint64_t>(facts.st_gid),
        .readOnly = nobodyWrites || notForUs,
    };
}

bool copyAccess(const FileFacts& from, std::FILE* to) {
    const int descriptor = ::fileno(to);
    const auto owner = static_cast<uid_t>(from.owner);
    const auto group = static_cast<gid_t>(from.group);
    // Owner and group first: a change of owner clears the set-id bits again.
    if (::fchown(descriptor, owner, group) != 0) {
        // Not allowed to give the file away; keep at least the group where allowed.
        (void)::fchown(descriptor, static_cast<uid_t>(-1), group);
    }
    if (::fchmod(descriptor, static_cast<mode_t>(from.permissions)) == 0) {
        return true;
    }
    // Some file systems (a card formatted with FAT) keep fixed permissions: that is
    // fine as long as the new file is open to nobody the old one was closed to.
    struct stat now {};
    return ::fstat(descriptor, &now) == 0 && (now.st_mode & 0777 & ~from.permissions) == 0;
}

std::optional<std::filesystem::path> realPath(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    std::filesystem::path real = std::filesystem::canonical(path, error);
    if (error) {
        return std::nullopt;
    }
    return real;
}

std::optional<std::filesystem::path> historyFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    // A relative value is to be ignored, as if it were not set.
    if (data != nullptr && data[0] == '/') {
        return std::filesystem::path(data) / "quillet" / "history";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return std::nullopt;
    }
    return std::filesystem::path(home) / ".local" / "share" / "quillet" / "history";
}

bool createPrivateFolders(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        return true;
    }
    if (folder.has_parent_path() && folder.parent_path() != folder &&
        !createPrivateFolders(folder.parent_path())) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace quillet::platform

#endif
