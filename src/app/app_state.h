// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ui/list_state.h"
#include "ui/name_filter.h"

namespace quillet {

// The list with its tabs: which views the device folder offers and which one is shown.
struct AppState : ListState {
    // The index of each view's tab in `tabs`; empty when start-up created none.
    std::optional<int> waypointTab;
    std::optional<int> tracksTab;
    std::vector<std::string> tabs;
    int currentTab = 0;

    // Where deletions and restores keep the file they replace: the user's history
    // folder, set by start-up. None when the environment names no folder for it.
    std::optional<std::filesystem::path> historyFolder;
    // Whether the box "Keep the current file in the history" starts ticked.
    bool keepHistory = true;
    // The folder's device file that a stored version stands in for, when the files
    // were read from the history rather than from the folder: nothing may be rewritten.
    std::optional<std::filesystem::path> readFromHistory;
    // The filter of the Name column and the list positions of the rows it lets through,
    // top to bottom; no positions while the filter is empty and every row shows.
    NameFilter filter;
    std::optional<std::vector<std::uint32_t>> shownRows;
};

// The view of the current tab, or none when it is neither view's tab.
std::optional<ViewKind> currentView(const AppState& state);

// The index of the view's tab, or none when start-up created none.
std::optional<int> tabOf(const AppState& state, ViewKind view);

}  // namespace quillet
