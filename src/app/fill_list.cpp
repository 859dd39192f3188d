#include "app/fill_list.h"

#include "app/list_filter.h"
#include "ui/track_columns.h"
#include "ui/waypoint_columns.h"
#include "views/track_view.h"
#include "views/waypoint_view.h"

namespace quillet {

static_assert(waypoint_columns::kNumber == track_columns::kNumber);

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
    state.list.sortRows(waypoint_columns::kNumber);
    // A new fill of the same tab keeps the filter.
    applyFilter(state);
}

void switchToTab(AppState& state, UserInterface& ui, int tabIndex) {
    state.currentTab = tabIndex;
    clearFilter(state);
    fillList(state, ui);
}

}  // namespace quillet
