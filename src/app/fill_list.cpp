// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/fill_list.h"

#include <algorithm>
#include <string>

#include "app/list_filter.h"
#include "ui/track_columns.h"
#include "ui/waypoint_columns.h"
#include "views/track_view.h"
#include "views/waypoint_view.h"

namespace quillet {

static_assert(waypoint_columns::kNumber == track_columns::kNumber);

namespace {

// The number column holds four digits in its width of the classic dialog font, whose
// digits are 6 pixels wide; it widens by a digit's width for every further digit of
// the largest number shown.
int numberColumnWidth(const RecordList& list, int width) {
    std::int32_t largest = 0;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        largest = std::max(largest, list.itemNumber(row));
    }
    constexpr int kDigitWidth = 6;
    const int digits = static_cast<int>(std::to_string(largest).size());
    return std::max(width, kDigitWidth * (digits + 1));
}

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

    // A fresh list stands sorted by number, ascending, and its heading arrow says so.
    constexpr std::size_t kNumber = waypoint_columns::kNumber;
    if (kNumber < state.list.columnCount()) {
        state.list.setColumnWidth(kNumber,
                                  numberColumnWidth(state.list, state.list.column(kNumber).width));
    }
    state.list.sortBy(kNumber, true);
    // A new fill of the same tab keeps the filter.
    applyFilter(state);
}

void switchToTab(AppState& state, UserInterface& ui, int tabIndex) {
    state.currentTab = tabIndex;
    clearFilter(state);
    fillList(state, ui);
}

}  // namespace quillet
