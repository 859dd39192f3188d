#include "device/file_snapshot.h"

#include <sys/stat.h>

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

std::optional<FileIdentity> identityOfOpen(std::FILE* file) {
    struct stat facts {};
    if (::fstat(::fileno(file), &facts) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(facts.st_dev),
                        static_cast<std::uint64_t>(facts.st_ino)};
}

}  // namespace

std::optional<FileIdentity> identityOf(const std::filesystem::path& path) {
    struct stat facts {};
    if (::stat(path.string().c_str(), &facts) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(facts.st_dev),
                        static_cast<std::uint64_t>(facts.st_ino)};
}

std::optional<FileSnapshot> takeSnapshot(const std::filesystem::path& path,
                                         std::uint32_t recordCount) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.string().c_str(), "rb"));
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
