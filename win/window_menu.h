// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <optional>

#include "app/actions.h"
#include "app/app_state.h"

namespace quillet::win {

// The command identifier of an action's menu item.
UINT commandOf(Action action);
// The action of a menu item's identifier, or none.
std::optional<Action> actionOfCommand(UINT command);

// The right-click menu from the core's table: items greyed where they cannot run, the
// items that need rows saying so while none is selected. The caller destroys it.
HMENU createContextMenu(const AppState& state, std::size_t selected);

// Where a key was pressed, for the keys that act in one place only.
enum class KeyPlace { List, Filter, Elsewhere };

// The action a key press stands for, or none.
std::optional<Action> actionOfKey(WPARAM key, bool control, bool shift, KeyPlace place);

}  // namespace quillet::win
