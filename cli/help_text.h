#pragma once

#include <string_view>

namespace quillet::cli {

inline constexpr std::string_view kVersionText = "quillet-cli 1.0";

// The text --help prints: everything needed to use the program.
extern const std::string_view kHelpText;

}  // namespace quillet::cli
