// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillet::cli {

// A text document with the line ends the platform's text mode writes: CR LF on Windows,
// LF elsewhere. Standard output is binary everywhere, so a GPX document sent there with
// "-o -" gets the same bytes as the file that "-o FILE" writes.
inline std::string withPlatformLineEnds(std::string text) {
#ifdef _WIN32
    std::string converted;
    converted.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            converted += '\r';
        }
        converted += c;
    }
    return converted;
#else
    return text;
#endif
}

}  // namespace quillet::cli

#include <ostream>
#include <streambuf>

namespace quillet::cli {

// Passes what is written on to another stream buffer with every LF turned into CR LF, so
// that a document can be streamed to the binary standard output with the line ends of
// the file that "-o FILE" writes in text mode on Windows.
class CrLfStreamBuf : public std::streambuf {
public:
    explicit CrLfStreamBuf(std::streambuf* target) : target_(target) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        const char text[1] = {traits_type::to_char_type(c)};
        return xsputn(text, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        std::streamsize from = 0;
        for (std::streamsize i = 0; i < count; ++i) {
            if (text[i] != '\n') {
                continue;
            }
            if (target_->sputn(text + from, i - from) != i - from ||
                target_->sputn("\r\n", 2) != 2) {
                return from;
            }
            from = i + 1;
        }
        if (target_->sputn(text + from, count - from) != count - from) {
            return from;
        }
        return count;
    }
    int sync() override { return target_->pubsync(); }

private:
    std::streambuf* target_;
};

}  // namespace quillet::cli
