// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/time_zone_setting.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/fill_list.h"
#include "text/translation.h"
#include "ui/track_columns.h"
#include "ui/waypoint_columns.h"

namespace quillet {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return lowerAscii(a) == lowerAscii(b); }) != text.end();
}

}  // namespace

std::string computerZoneText(const TimeZone& computer) {
    return fillIn(translate("This computer ({1})"), {computer.name()});
}

std::string timeZoneNote(const TimeZone& zone) {
    return fillIn(translate("Times in {1}"), {zone.name()});
}

std::optional<std::string> timeHeadingNote(const AppState& state, std::size_t column) {
    const std::optional<ViewKind> view = currentView(state);
    const bool showsTimes = (view == ViewKind::Waypoints && column == waypoint_columns::kTime) ||
                            (view == ViewKind::Tracks &&
                             (column == track_columns::kStart || column == track_columns::kFinish));
    if (!showsTimes) {
        return std::nullopt;
    }
    return timeZoneNote(state.timeZone);
}

TimeZone timeZoneOfSetting(std::string_view setting) {
    return TimeZone::fromSetting(setting).value_or(TimeZone());
}

void changeTimeZone(AppState& state, UserInterface& ui, const TimeZone& zone) {
    RecordList& list = state.list;
    std::vector<std::int32_t> selected;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        if (list.isSelected(row)) {
            selected.push_back(list.itemNumber(row));
        }
    }
    std::sort(selected.begin(), selected.end());

    const auto column = static_cast<std::size_t>(list.sortColumn());
    const bool ascending = list.ascending();

    state.timeZone = zone;
    fillList(state, ui);
    if (column < list.columnCount()) {
        list.sortBy(column, ascending);
    }
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        if (std::binary_search(selected.begin(), selected.end(), list.itemNumber(row))) {
            list.setSelected(row, true);
        }
    }
}

bool zoneMatches(std::string_view name, std::string_view text, std::string_view search) {
    return containsIgnoringCase(name, search) || containsIgnoringCase(text, search);
}

}  // namespace quillet
