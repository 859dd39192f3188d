// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "app/app_state.h"

namespace quillet {

// The rows the window shows: those whose Name contains the filter's text. The windows
// address rows by their shown position; these turn it into the list's position. A row
// the filter hides is never selected, so no command ever reaches it.

// Sets the filter and shows the rows it lets through; hidden rows lose their selection.
void setFilter(AppState& state, std::string_view utf8Text);
// The same with the filter the state holds, after the rows changed (a fill, a sort, a
// deletion).
void applyFilter(AppState& state);
void clearFilter(AppState& state);

std::size_t shownRowCount(const AppState& state);
// The list position of the shown row.
std::size_t listRowOf(const AppState& state, std::size_t shownRow);
// The shown position of the row at the list position, or none when it is hidden.
std::optional<std::size_t> shownRowOf(const AppState& state, std::size_t listRow);

// Selection by shown position. Hidden rows always stay unselected.
void clearSelection(AppState& state);
void setShownRowSelected(AppState& state, std::size_t shownRow, bool selected);
bool isShownRowSelected(const AppState& state, std::size_t shownRow);
// Ctrl+A: every shown row and no hidden one.
void selectShownRows(AppState& state);

// A list of the shown rows alone, with their texts, item numbers and selection, in the
// columns of the state's list.
RecordList shownList(const AppState& state);

}  // namespace quillet
