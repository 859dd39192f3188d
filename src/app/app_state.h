#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/list_state.h"

namespace quillet {

// The list with its tabs: which views the device folder offers and which one is shown.
struct AppState : ListState {
    // The index of each view's tab in `tabs`; empty when start-up created none.
    std::optional<int> waypointTab;
    std::optional<int> tracksTab;
    std::vector<std::string> tabs;
    int currentTab = 0;
};

// The view of the current tab, or none when it is neither view's tab.
std::optional<ViewKind> currentView(const AppState& state);

// The index of the view's tab, or none when start-up created none.
std::optional<int> tabOf(const AppState& state, ViewKind view);

}  // namespace quillet
