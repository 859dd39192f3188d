// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace quillet {

// A device file opened for binary reading ("rb"), or bytes read the same way (a file
// read beforehand, tests and fuzzing). A read that comes up short because the data
// ended delivers what was there and sets the end-of-file state, which then stays set.
class InputStream {
public:
    using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

    static std::optional<InputStream> open(const std::filesystem::path& path);
    static InputStream fromBytes(std::vector<std::uint8_t> bytes);
    // Reads bytes that others hold too; many streams can read the same bytes at once.
    static InputStream fromBytes(Bytes bytes);

    // Reads up to dest.size() bytes into dest; returns how many were delivered.
    std::size_t read(std::span<std::uint8_t> dest) {
        // The many small reads of a file's records are served from its block here; the
        // block never holds more than the file held at the opening. Bytes in memory are
        // one block. An empty read takes the general path, which needs no byte of either
        // buffer.
        if (!dest.empty() && dest.size() <= buffered()) {
            std::memcpy(dest.data(), blockBytes_ + blockPosition_, dest.size());
            blockPosition_ += dest.size();
            position_ += dest.size();
            return dest.size();
        }
        return readMore(dest);
    }
    // Skips up to n bytes; returns how many were skipped. Skipping past the end sets
    // the end-of-file state like a short read.
    std::uint64_t skip(std::uint64_t n);

    bool atEnd() const { return atEnd_; }
    std::uint64_t position() const { return position_; }
    // Bytes the data holds from the current position on (its size when opened).
    std::uint64_t remaining() const { return size_ - position_; }
    std::uint64_t size() const { return size_; }

private:
    InputStream() = default;

    // A file is read in large blocks: the many small reads of a track's points are
    // served from memory, and a skip that stays within the block moves no file position.
    static constexpr std::size_t kBlockSize = 64 * 1024;
    std::size_t buffered() const { return blockEnd_ - blockPosition_; }
    std::size_t readMore(std::span<std::uint8_t> dest);
    std::size_t readFile(std::span<std::uint8_t> dest);
    std::uint64_t skipFile(std::uint64_t n);

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::vector<std::uint8_t> block_;
    const std::uint8_t* blockBytes_ = nullptr;  // the block's, or all the bytes in memory
    std::size_t blockPosition_ = 0;
    std::size_t blockEnd_ = 0;
    Bytes bytes_;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    bool atEnd_ = false;
};

// The bytes of the file at `path`, as a stream opened on it now would deliver them, to be
// read later without the file; null when it cannot be opened or holds more than
// `largest` bytes.
InputStream::Bytes readFileBytes(const std::filesystem::path& path, std::uint64_t largest);

}  // namespace quillet
