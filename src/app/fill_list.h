#pragma once

#include "app/app_state.h"
#include "ui/user_interface.h"

namespace quillet {

// Empties the list (rows and columns), fills it for the current view and sorts it by
// the number column in the current direction, without changing the sort column. The
// filter stays and applies to the new rows.
void fillList(AppState& state, UserInterface& ui);

// A change of the selected tab; the filter is cleared.
void switchToTab(AppState& state, UserInterface& ui, int tabIndex);

}  // namespace quillet
