// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "text/translation.h"
#include "ui/list_state.h"
#include "ui/user_interface.h"

namespace quillet {

inline constexpr std::string_view kFormatMessage =
    QUILLET_TEXT("Incorrect file format!\nProbably error in record's number or length");

// The text of column 3 for a symbol code: the table name, "84" for 84, empty for 85
// and for codes without a name.
std::string_view symbolText(std::uint8_t code);

// Adds the 24 waypoint columns and one row per record of the waypoint file.
void fillWaypointView(ListState& state, UserInterface& ui);

}  // namespace quillet
