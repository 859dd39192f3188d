// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstddef>

#include "text/translation.h"

namespace quillet {

std::string translate(std::string_view english) {
    return translate(std::string(english));
}

std::string fillIn(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string filled;
    filled.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        // "{n}" with n from 1 to 9; any other brace stays.
        if (text[at] == '{' && at + 2 < text.size() && text[at + 1] >= '1' && text[at + 1] <= '9' &&
            text[at + 2] == '}') {
            const auto field = static_cast<std::size_t>(text[at + 1] - '1');
            if (field < values.size()) {
                filled += values.begin()[field];
                at += 3;
                continue;
            }
        }
        filled += text[at];
        ++at;
    }
    return filled;
}

}  // namespace quillet
