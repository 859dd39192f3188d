// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/file_snapshot.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quillet {

struct ContentHasher::State {
    XXH3_state_t xxh;
};

ContentHasher::ContentHasher() : state_(std::make_unique<State>()) {
    XXH3_128bits_reset(&state_->xxh);
}

ContentHasher::~ContentHasher() = default;

void ContentHasher::add(std::span<const std::uint8_t> bytes) {
    XXH3_128bits_update(&state_->xxh, bytes.data(), bytes.size());
}

ContentHash ContentHasher::result() const {
    const XXH128_hash_t hash = XXH3_128bits_digest(&state_->xxh);
    return {hash.low64, hash.high64};
}

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

#ifdef _WIN32

// On Windows a file is known by the serial number of its volume and its index there.
std::optional<FileIdentity> identityOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION facts{};
    if (handle == INVALID_HANDLE_VALUE || GetFileInformationByHandle(handle, &facts) == 0) {
        return std::nullopt;
    }
    return FileIdentity{
        static_cast<std::uint64_t>(facts.dwVolumeSerialNumber),
        (static_cast<std::uint64_t>(facts.nFileIndexHigh) << 32) | facts.nFileIndexLow};
}

std::optional<FileIdentity> identityOfOpen(std::FILE* file) {
    return identityOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

std::FILE* openBinary(const std::filesystem::path& path) {
    return _wfopen(path.c_str(), L"rb");  // the UTF-16 name, never the ANSI one
}

#else

std::optional<FileIdentity> identityOfOpen(std::FILE* file) {
    struct stat facts {};
    if (::fstat(::fileno(file), &facts) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(facts.st_dev),
                        static_cast<std::uint64_t>(facts.st_ino)};
}

std::FILE* openBinary(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "rb");
}

#endif

}  // namespace

std::optional<FileIdentity> identityOf(const std::filesystem::path& path) {
#ifdef _WIN32
    // Only the file's attributes are asked for, so that neither another program's sharing
    // nor a deletion's lock stands in the way; links are followed.
    const HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const auto identity = identityOfHandle(handle);
    CloseHandle(handle);
    return identity;
#else
    struct stat facts {};
    if (::stat(path.c_str(), &facts) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(facts.st_dev),
                        static_cast<std::uint64_t>(facts.st_ino)};
#endif
}

std::optional<FileSnapshot> takeSnapshot(const std::filesystem::path& path,
                                         std::uint32_t recordCount) {
    const std::unique_ptr<std::FILE, FileCloser> file(openBinary(path));
    if (file == nullptr) {
        return std::nullopt;
    }
    const auto identity = identityOfOpen(file.get());
    if (!identity) {
        return std::nullopt;
    }
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) {
        return std::nullopt;
    }
    const auto sizeBefore = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    if (sizeBefore > kLargestHashedFile) {
        return FileSnapshot{.size = sizeBefore,
                            .modified = modified,
                            .recordCount = recordCount,
                            .identity = *identity,
                            .content = std::nullopt};
    }
    // Size and hash come from the same read, so they describe the same bytes.
    ContentHasher hasher;
    std::vector<std::uint8_t> block(64 * 1024);
    std::uint64_t size = 0;
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        hasher.add(std::span(block).first(got));
        size += got;
        if (got < block.size()) {
            break;
        }
    }
    if (std::ferror(file.get()) != 0) {
        return std::nullopt;
    }
    return FileSnapshot{.size = size,
                        .modified = modified,
                        .recordCount = recordCount,
                        .identity = *identity,
                        .content = hasher.result()};
}

}  // namespace quillet
