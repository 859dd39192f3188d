// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "device/time_zone.h"

namespace quillet::win {

// The context menu's Time zone entries.
inline constexpr UINT kUtcZoneCommand = 0x0030;
inline constexpr UINT kComputerZoneCommand = 0x0031;
inline constexpr UINT kOtherZoneCommand = 0x0032;

// Time zone ▸ "UTC", "This computer (…)", "Other…" before the menu's last entry, the
// zone shown checked.
void appendTimeZoneMenu(HMENU menu, const TimeZone& shown);
bool isTimeZoneCommand(int command);

// The zone the command chooses; "Other…" asks with the searchable list of the system's
// zones, and gives nothing when the person cancels it.
std::optional<TimeZone> zoneOfCommand(int command, HWND owner, const TimeZone& shown);

// The zone the person chose last, kept in HKEY_CURRENT_USER\Software\Quillet; UTC
// before the first choice.
TimeZone rememberedTimeZone();
void rememberTimeZone(const TimeZone& zone);

// The list view's heading tooltip, which names the zone the list shows.
class HeadingTip {
public:
    void attach(HWND listView);
    void show(const TimeZone& zone);
    HWND handle() const { return tip_; }

private:
    HWND tip_ = nullptr;
    HWND owner_ = nullptr;
    HWND header_ = nullptr;
    std::wstring text_;
};

}  // namespace quillet::win
