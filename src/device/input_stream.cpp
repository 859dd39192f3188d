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
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    InputStream stream;
    stream.file_ = file;
    stream.size_ = size;
    return stream;
}

InputStream InputStream::fromBytes(std::vector<std::uint8_t> bytes) {
    InputStream stream;
    stream.size_ = bytes.size();
    stream.bytes_ = std::move(bytes);
    return stream;
}

InputStream::InputStream(InputStream&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      bytes_(std::move(other.bytes_)),
      size_(other.size_),
      position_(other.position_),
      atEnd_(other.atEnd_) {}

InputStream& InputStream::operator=(InputStream&& other) noexcept {
    if (this != &other) {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
        file_ = std::exchange(other.file_, nullptr);
        bytes_ = std::move(other.bytes_);
        size_ = other.size_;
        position_ = other.position_;
        atEnd_ = other.atEnd_;
    }
    return *this;
}

InputStream::~InputStream() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

// The stream holds the bytes the data had when it was opened: a file that grows
// afterwards is not read past that size, so remaining() never wraps.
std::size_t InputStream::read(std::span<std::uint8_t> dest) {
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(dest.size(), remaining()));
    std::size_t delivered = 0;
    if (wanted > 0) {
        if (file_ != nullptr) {
            delivered = std::fread(dest.data(), 1, wanted, file_);
        } else {
            std::memcpy(dest.data(), bytes_.data() + position_, wanted);
            delivered = wanted;
        }
    }
    position_ += delivered;
    if (delivered < dest.size()) {
        atEnd_ = true;
    }
    return delivered;
}

std::uint64_t InputStream::skip(std::uint64_t n) {
    std::uint64_t skipped = std::min(n, remaining());
    if (file_ != nullptr && skipped > 0) {
        // Seek in steps that fit a long; reading the skipped bytes is never needed.
        std::uint64_t left = skipped;
        while (left > 0) {
            const long step = static_cast<long>(std::min<std::uint64_t>(left, 1UL << 30));
            if (std::fseek(file_, step, SEEK_CUR) != 0) {
                break;
            }
            left -= static_cast<std::uint64_t>(step);
        }
        skipped -= left;
    }
    position_ += skipped;
    if (skipped < n) {
        atEnd_ = true;
    }
    return skipped;
}

}  // namespace quillet
