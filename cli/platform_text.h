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
