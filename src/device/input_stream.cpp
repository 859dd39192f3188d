// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/input_stream.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <utility>

namespace quillet {

std::optional<InputStream> InputStream::open(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;  // missing, not a regular file, or unreadable
    }
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"rb");  // the UTF-16 name, never the ANSI one
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (file == nullptr) {
        return std::nullopt;
    }
    InputStream stream;
    stream.file_.reset(file);
    stream.size_ = size;
    return stream;
}

InputStream InputStream::fromBytes(std::vector<std::uint8_t> bytes) {
    return fromBytes(std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes)));
}

InputStream InputStream::fromBytes(Bytes bytes) {
    InputStream stream;
    if (bytes == nullptr) {
        bytes = std::make_shared<const std::vector<std::uint8_t>>();
    }
    stream.size_ = bytes->size();
    stream.blockBytes_ = bytes->data();
    stream.blockEnd_ = bytes->size();
    stream.bytes_ = std::move(bytes);
    return stream;
}

// The stream holds the bytes the data had when it was opened: a file that grows
// afterwards is not read past that size, so remaining() never wraps.
std::size_t InputStream::readMore(std::span<std::uint8_t> dest) {
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(dest.size(), remaining()));
    std::size_t delivered = 0;
    if (wanted > 0) {
        if (file_ != nullptr) {
            delivered = readFile(dest.first(wanted));
        } else {
            std::memcpy(dest.data(), blockBytes_ + blockPosition_, wanted);
            blockPosition_ += wanted;
            delivered = wanted;
        }
    }
    position_ += delivered;
    if (delivered < dest.size()) {
        atEnd_ = true;
    }
    return delivered;
}

// Serves the bytes from the block, refilling it as needed; a read at least as large as
// the block goes to the file directly. Delivers fewer bytes only when the file holds
// fewer than its size at the opening promised.
std::size_t InputStream::readFile(std::span<std::uint8_t> dest) {
    std::size_t delivered = 0;
    while (delivered < dest.size()) {
        if (buffered() == 0) {
            const std::size_t rest = dest.size() - delivered;
            if (rest >= kBlockSize) {
                return delivered + std::fread(dest.data() + delivered, 1, rest, file_.get());
            }
            // The file's position is that of the stream: fill the block with at most
            // what the file held at the opening.
            const auto room = static_cast<std::size_t>(
                std::min<std::uint64_t>(kBlockSize, remaining() - delivered));
            block_.resize(kBlockSize);
            blockBytes_ = block_.data();
            blockPosition_ = 0;
            blockEnd_ = std::fread(block_.data(), 1, room, file_.get());
            if (blockEnd_ == 0) {
                return delivered;
            }
        }
        const std::size_t step = std::min(dest.size() - delivered, buffered());
        std::memcpy(dest.data() + delivered, block_.data() + blockPosition_, step);
        blockPosition_ += step;
        delivered += step;
    }
    return delivered;
}

std::uint64_t InputStream::skip(std::uint64_t n) {
    std::uint64_t skipped = std::min(n, remaining());
    if (file_ != nullptr && skipped > 0) {
        skipped = skipFile(skipped);
    } else if (file_ == nullptr) {
        blockPosition_ += static_cast<std::size_t>(skipped);  // the bytes are the block
    }
    position_ += skipped;
    if (skipped < n) {
        atEnd_ = true;
    }
    return skipped;
}

// Within the block the skip only moves the block's position; beyond it the file seeks
// from the block's end, in steps that fit a long. Reading the skipped bytes is never
// needed.
std::uint64_t InputStream::skipFile(std::uint64_t n) {
    if (n <= buffered()) {
        blockPosition_ += static_cast<std::size_t>(n);
        return n;
    }
    const std::uint64_t fromBlock = buffered();
    blockPosition_ = blockEnd_ = 0;
    std::uint64_t left = n - fromBlock;
    while (left > 0) {
        const long step = static_cast<long>(std::min<std::uint64_t>(left, 1UL << 30));
        if (std::fseek(file_.get(), step, SEEK_CUR) != 0) {
            break;
        }
        left -= static_cast<std::uint64_t>(step);
    }
    return n - left;
}

InputStream::Bytes readFileBytes(const std::filesystem::path& path, std::uint64_t largest) {
    std::optional<InputStream> stream = InputStream::open(path);
    if (!stream || stream->size() > largest) {
        return nullptr;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream->size()));
    bytes.resize(stream->read(bytes));
    return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

}  // namespace quillet
