// SPDX-License-Identifier: GPL-3.0-or-later
#include "confirmation.h"

#include <algorithm>

namespace quillet::cli {

bool isConfirmingAnswer(std::string_view line) {
    const auto sameLetters = [line](std::string_view word) {
        return std::equal(line.begin(), line.end(), word.begin(), word.end(), [](char a, char b) {
            return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
        });
    };
    return sameLetters("y") || sameLetters("yes");
}

}  // namespace quillet::cli
