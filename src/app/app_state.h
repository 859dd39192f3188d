#pragma once

#include <cstdint>
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
