// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillet::cli {

// Text for a terminal: every control byte (below 0x20, and 0x7F) but TAB and LF shows
// as "?", so that a name holding escape sequences cannot retitle or reprogram the
// terminal it is printed on. Output to a pipe or a file keeps its bytes.
std::string terminalSafeText(std::string_view text);

// Whether standard output is a terminal.
bool standardOutputIsTerminal();

}  // namespace quillet::cli
