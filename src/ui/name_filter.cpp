// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/name_filter.h"

#include <cstdint>
#include <optional>

#include "device/code_page.h"

namespace quillet {
namespace {

struct Decoded {
    char32_t code;
    std::size_t size;
};

// The code point at the start of `text`, or nothing when no valid sequence starts there.
std::optional<Decoded> decodeOne(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) {
        return Decoded{lead, 1};
    }
    std::size_t size = 0;
    char32_t code = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        size = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        size = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        size = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() < size) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < size; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return std::nullopt;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return std::nullopt;
    }
    return Decoded{code, size};
}

char32_t smallLetter(char32_t code) {
    if ((code >= U'A' && code <= U'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7) ||
        (code >= 0x410 && code <= 0x42F)) {
        return code + 0x20;
    }
    if (code >= 0x400 && code <= 0x40F) {
        return code + 0x50;
    }
    return code;
}

void appendCode(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// True when the text is valid UTF-8 with at least one sequence beyond ASCII.
bool isWideUtf8(std::string_view text) {
    bool wide = false;
    for (std::size_t at = 0; at < text.size();) {
        const auto decoded = decodeOne(text.substr(at));
        if (!decoded) {
            return false;
        }
        wide = wide || decoded->size > 1;
        at += decoded->size;
    }
    return wide;
}

}  // namespace

std::string foldCase(std::string_view utf8) {
    std::string folded;
    folded.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const auto decoded = decodeOne(utf8.substr(at));
        if (!decoded) {
            folded += utf8[at++];
            continue;
        }
        appendCode(folded, smallLetter(decoded->code));
        at += decoded->size;
    }
    return folded;
}

NameFilter::NameFilter(std::string_view utf8Text) : text_(utf8Text), folded_(foldCase(utf8Text)) {}

bool NameFilter::matches(std::string_view name) const {
    if (folded_.empty()) {
        return true;
    }
    if (foldCase(deviceTextToUtf8(name)).find(folded_) != std::string::npos) {
        return true;
    }
    const std::string_view untilZero = name.substr(0, name.find('\0'));
    return isWideUtf8(untilZero) && foldCase(untilZero).find(folded_) != std::string::npos;
}

}  // namespace quillet
