// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Building device bytes by hand in tests.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/input_stream.h"

namespace quillet::test {

// "a6 20 27" -> {0xa6, 0x20, 0x27}; blanks are ignored.
inline std::vector<std::uint8_t> hexBytes(std::string_view hex) {
    std::vector<std::uint8_t> bytes;
    std::string digits;
    for (const char c : hex) {
        if (c != ' ') {
            digits += c;
        }
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

inline std::string byteText(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

inline InputStream streamOf(std::vector<std::uint8_t> bytes) {
    return InputStream::fromBytes(std::move(bytes));
}

}  // namespace quillet::test
