// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal_text.h"

#include <unistd.h>

namespace quillet::cli {

std::string terminalSafeText(std::string_view text) {
    std::string safe(text);
    for (char& c : safe) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\n') || byte == 0x7F) {
            c = '?';
        }
    }
    return safe;
}

bool standardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}

}  // namespace quillet::cli
