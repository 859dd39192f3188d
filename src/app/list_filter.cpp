// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/list_filter.h"

#include <algorithm>

#include "ui/waypoint_columns.h"

namespace quillet {
namespace {

// The Name column is the same position in both views.
constexpr std::size_t kNameColumn = waypoint_columns::kName;

}  // namespace

void setFilter(AppState& state, std::string_view utf8Text) {
    state.filter = NameFilter(utf8Text);
    applyFilter(state);
}

void applyFilter(AppState& state) {
    RecordList& list = state.list;
    if (state.filter.empty() || list.columnCount() <= kNameColumn) {
        state.shownRows.reset();
        return;
    }
    std::vector<std::uint32_t> shown;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        if (state.filter.matches(list.text(row, kNameColumn))) {
            shown.push_back(static_cast<std::uint32_t>(row));
        } else {
            list.setSelected(row, false);
        }
    }
    state.shownRows = std::move(shown);
}

void clearFilter(AppState& state) {
    state.filter = NameFilter();
    state.shownRows.reset();
}

std::size_t shownRowCount(const AppState& state) {
    return state.shownRows ? state.shownRows->size() : state.list.rowCount();
}

std::size_t listRowOf(const AppState& state, std::size_t shownRow) {
    return state.shownRows ? (*state.shownRows)[shownRow] : shownRow;
}

std::optional<std::size_t> shownRowOf(const AppState& state, std::size_t listRow) {
    if (!state.shownRows) {
        return listRow < state.list.rowCount() ? std::optional(listRow) : std::nullopt;
    }
    const auto& shown = *state.shownRows;  // ascending
    const auto at = std::lower_bound(shown.begin(), shown.end(), listRow);
    if (at == shown.end() || *at != listRow) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(at - shown.begin());
}

void clearSelection(AppState& state) {
    for (std::size_t row = 0; row < state.list.rowCount(); ++row) {
        state.list.setSelected(row, false);
    }
}

void setShownRowSelected(AppState& state, std::size_t shownRow, bool selected) {
    if (shownRow < shownRowCount(state)) {
        state.list.setSelected(listRowOf(state, shownRow), selected);
    }
}

bool isShownRowSelected(const AppState& state, std::size_t shownRow) {
    return shownRow < shownRowCount(state) && state.list.isSelected(listRowOf(state, shownRow));
}

void selectShownRows(AppState& state) {
    clearSelection(state);
    for (std::size_t shown = 0; shown < shownRowCount(state); ++shown) {
        state.list.setSelected(listRowOf(state, shown), true);
    }
}

RecordList shownList(const AppState& state) {
    const RecordList& list = state.list;
    RecordList shown;
    for (const Column& column : list.columns()) {
        shown.addColumn(column);
    }
    std::vector<std::string_view> texts(list.columnCount());
    // Every new row goes to the top: from the bottom up.
    for (std::size_t at = shownRowCount(state); at-- > 0;) {
        const std::size_t row = listRowOf(state, at);
        for (std::size_t column = 0; column < texts.size(); ++column) {
            texts[column] = list.text(row, column);
        }
        shown.insertRow();
        shown.setTexts(0, texts);
        shown.setItemNumber(0, list.itemNumber(row));
        shown.setSelected(0, list.isSelected(row));
    }
    return shown;
}

}  // namespace quillet
