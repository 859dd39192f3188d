// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_state.h"

namespace quillet {

std::optional<ViewKind> currentView(const AppState& state) {
    if (state.waypointTab == state.currentTab) {
        return ViewKind::Waypoints;
    }
    if (state.tracksTab == state.currentTab) {
        return ViewKind::Tracks;
    }
    return std::nullopt;
}

std::optional<int> tabOf(const AppState& state, ViewKind view) {
    return view == ViewKind::Waypoints ? state.waypointTab : state.tracksTab;
}

}  // namespace quillet
