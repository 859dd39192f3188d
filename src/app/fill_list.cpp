#include "app/fill_list.h"

#include "views/track_view.h"
#include "views/waypoint_view.h"

namespace quillet {

namespace {

constexpr std::size_t kNumberColumn = 1;  // "#" in both views

}  // namespace

void fillList(AppState& state, UserInterface& ui) {
    state.list.removeAllRows();
    state.list.removeAllColumns();

    const auto view = currentView(state);
    if (view == ViewKind::Waypoints) {
        fillWaypointView(state, ui);
    } else if (view == ViewKind::Tracks) {
        fillTrackView(state, ui);
    }

    // By number, in the direction of the last heading click; the sort column stays.
    state.list.sortRows(kNumberColumn);
}

void onTabChanged(AppState& state, UserInterface& ui, int tabIndex) {
    state.currentTab = tabIndex;
    fillList(state, ui);
}

}  // namespace quillet
