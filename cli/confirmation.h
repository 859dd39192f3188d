// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace quillet::cli {

// Whether a line typed in answer to a question confirms it: "y" or "yes" in any
// letter case. Everything else, the empty line included, refuses.
bool isConfirmingAnswer(std::string_view line);

}  // namespace quillet::cli
