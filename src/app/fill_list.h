// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/app_state.h"
#include "ui/user_interface.h"

namespace quillet {

// Empties the list (rows and columns), fills it for the current view, widens the number
// column to its largest number and sorts the list by that column, ascending. The
// filter stays and applies to the new rows.
void fillList(AppState& state, UserInterface& ui);

// A change of the selected tab; the filter is cleared.
void switchToTab(AppState& state, UserInterface& ui, int tabIndex);

}  // namespace quillet
