// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The time zone the list shows its times in, as both windows offer it: View ▸ Time zone
// ▸ "UTC", "This computer (…)", "Other…".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "device/time_zone.h"
#include "text/translation.h"
#include "ui/user_interface.h"

namespace quillet {

inline constexpr std::string_view kTimeZoneMenuText = QUILLET_TEXT("Time zone");
inline constexpr std::string_view kUtcZoneText = "UTC";
inline constexpr std::string_view kOtherZoneText = QUILLET_TEXT("Other\u2026");
inline constexpr std::string_view kChooseZoneCaption = QUILLET_TEXT("Time zone");
inline constexpr std::string_view kChooseZoneFilterText = QUILLET_TEXT("Search:");

// "This computer (Europe/Berlin)".
std::string computerZoneText(const TimeZone& computer);

// What the time headings' tooltip says: "Times in UTC", "Times in Europe/Moscow".
std::string timeZoneNote(const TimeZone& zone);

// The note for a column's heading: timeZoneNote for the columns of the current view
// that show times, nothing for the others.
std::optional<std::string> timeHeadingNote(const AppState& state, std::size_t column);

// The zone the setting names, UTC when there is none or the system lacks it (a zone
// remembered on another computer).
TimeZone timeZoneOfSetting(std::string_view setting);

// Shows the list's times in the zone: the list is filled again, and the person's
// selection and sort order stay as they were.
void changeTimeZone(AppState& state, UserInterface& ui, const TimeZone& zone);

// Does a zone's choice text or name hold the search text, ignoring ASCII case?
bool zoneMatches(std::string_view name, std::string_view text, std::string_view search);

}  // namespace quillet
