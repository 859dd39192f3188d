// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillet::cli {

inline constexpr std::string_view kVersionText = "quillet-cli 1.0";

// The text --help prints, in the person's language: everything needed to use the program.
std::string helpText();

}  // namespace quillet::cli
