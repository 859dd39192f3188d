#include "app/app_state.h"

namespace quillet {

std::optional<ViewKind> currentView(const AppState& state) {
    const int position = state.currentTab + 1;
    if (state.waypointTabPosition != 0 && state.waypointTabPosition == position) {
        return ViewKind::Waypoints;
    }
    if (state.tracksTabPosition != 0 && state.tracksTabPosition == position) {
        return ViewKind::Tracks;
    }
    return std::nullopt;
}

}  // namespace quillet
