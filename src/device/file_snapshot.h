// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

namespace quillet {

// Which file a name stands for: the same two numbers mean the same file, however the
// path to it was spelled (a link, "..", another mount of the same folder).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The 128-bit hash of a file's bytes (XXH3-128), as two halves.
struct ContentHash {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    friend bool operator==(const ContentHash&, const ContentHash&) = default;
};

// Hashes bytes given in pieces, in file order.
class ContentHasher {
public:
    ContentHasher();
    ~ContentHasher();
    ContentHasher(const ContentHasher&) = delete;
    ContentHasher& operator=(const ContentHasher&) = delete;

    void add(std::span<const std::uint8_t> bytes);
    ContentHash result() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A device file as a fill saw it, so that a deletion can tell whether the records it
// is about to rewrite are still the ones the list was filled from: size and time are a
// quick first test, the identity and the hash of every byte the final one.
struct FileSnapshot {
    std::uint64_t size = 0;
    std::filesystem::file_time_type modified;
    std::uint32_t recordCount = 0;
    FileIdentity identity;
    std::optional<ContentHash> content;  // none for a file beyond kLargestHashedFile
    friend bool operator==(const FileSnapshot&, const FileSnapshot&) = default;
};

// Device files are a few megabytes; this holds well over a million waypoints. A larger
// file is not hashed, so that no command spends minutes reading a hostile one (a
// sparse file of gigabytes), and a deletion refuses it.
inline constexpr std::uint64_t kLargestHashedFile = 256ull << 20;

// The file at `path` (links followed) with its identity and the hash of its bytes;
// nothing when it cannot be opened or read.
std::optional<FileSnapshot> takeSnapshot(const std::filesystem::path& path,
                                         std::uint32_t recordCount);

// The identity of the file an open file is, and of the file a path names (links
// followed); nothing when the system cannot tell.
std::optional<FileIdentity> identityOf(const std::filesystem::path& path);

}  // namespace quillet
