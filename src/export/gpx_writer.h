// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

namespace quillet {

// Collects the document in one large buffer and hands it to the stream in big chunks,
// so that the many short lines of a long track cost no per-line stream overhead.
class GpxWriter {
public:
    static constexpr std::size_t kDocumentCapacity = std::size_t{1} << 20;

    explicit GpxWriter(std::ostream& out, std::size_t capacity = kDocumentCapacity);
    ~GpxWriter();
    GpxWriter(const GpxWriter&) = delete;
    GpxWriter& operator=(const GpxWriter&) = delete;

    void put(std::string_view text) {
        if (text.size() > capacity_ - size_) {
            putSlow(text);
            return;
        }
        std::memcpy(buffer_.get() + size_, text.data(), text.size());
        size_ += text.size();
    }

    // At least `bytes` free bytes to format into; hand the end back with commit().
    char* claim(std::size_t bytes) {
        if (bytes > capacity_ - size_) {
            flush();
        }
        return buffer_.get() + size_;
    }
    void commit(const char* end) { size_ = static_cast<std::size_t>(end - buffer_.get()); }

    // The largest claim() the writer can grant.
    std::size_t capacity() const { return capacity_; }

    // Hands everything collected so far to the stream.
    void flush();

    // The document's count of points outside the GPX coordinate ranges.
    void countPointOutOfRange() { ++pointsOutOfRange_; }
    std::size_t pointsOutOfRange() const { return pointsOutOfRange_; }

    // Whether the stream refused a write, and the system's reason then (0 when unknown).
    bool failed() const { return failed_; }
    int writeError() const { return writeError_; }

private:
    void putSlow(std::string_view text);
    void writeOut(const char* bytes, std::size_t count);

    std::ostream& out_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t size_ = 0;
    bool failed_ = false;
    int writeError_ = 0;
    std::size_t pointsOutOfRange_ = 0;
};

// Copies a text to `at` and returns the end.
inline char* appendText(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

}  // namespace quillet
