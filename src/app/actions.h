// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "app/app_state.h"

namespace quillet {

// Everything the person can do in a window beside the buttons and the headings. Both
// windows build their keys and right-click menu from this one table.
enum class Action {
    Copy,
    MakeGpx,
    ExportEverything,
    Delete,
    Preview,
    OpenFolder,
    Reload,
    History,
    About,
    Filter,
    SelectAll,
    NextTab,
    PreviousTab,
    Quit,
};

struct ActionEntry {
    Action action;
    std::string_view text;  // the menu item's text, with its access key after '&'
    std::string_view key;   // the key, as a menu shows it
    bool inContextMenu;
    bool needsSelection;  // runs on the selected rows only
};

// In the order of the right-click menu, then the keys that have no item.
std::span<const ActionEntry> actionTable();
const ActionEntry& actionEntry(Action action);

// False when the action cannot run now: greyed out in the menu, the key does nothing.
// `selected` is the count of selected rows.
bool canRun(Action action, const AppState& state, std::size_t selected);

// The text of the action's item; while nothing is selected, an item that needs a
// selection says so.
std::string menuText(Action action, std::size_t selected);

}  // namespace quillet
