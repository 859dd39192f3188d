#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/list_state.h"

namespace quillet {

// The list with its tabs: which views the device folder offers and which one is shown.
struct AppState : ListState {
    int waypointTabPosition = 0;  // 1 when the "Way Points" tab exists (index 0)
    int tracksTabPosition = 0;    // 1-based index of the "Tracks" tab, 0 when absent
    std::vector<std::string> tabs;
    int currentTab = 0;
};

// The view of the current tab, or none when it matches neither tab position.
std::optional<ViewKind> currentView(const AppState& state);

}  // namespace quillet
