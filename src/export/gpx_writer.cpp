// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/gpx_writer.h"

#include <cerrno>

namespace quillet {

GpxWriter::GpxWriter(std::ostream& out, std::size_t capacity)
    : out_(out), buffer_(new char[capacity]), capacity_(capacity) {}

GpxWriter::~GpxWriter() {
    flush();
}

void GpxWriter::flush() {
    if (size_ > 0) {
        writeOut(buffer_.get(), size_);
        size_ = 0;
    }
}

void GpxWriter::putSlow(std::string_view text) {
    flush();
    if (text.size() >= capacity_) {
        writeOut(text.data(), text.size());
        return;
    }
    std::memcpy(buffer_.get(), text.data(), text.size());
    size_ = text.size();
}

void GpxWriter::writeOut(const char* bytes, std::size_t count) {
    if (failed_) {
        return;
    }
    errno = 0;
    out_.write(bytes, static_cast<std::streamsize>(count));
    if (!out_) {
        failed_ = true;
        writeError_ = errno;
    }
}

}  // namespace quillet
