// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The time zone the list shows its times in. The receiver records UTC; a zone other
// than UTC is the operating system's own, asked at every instant, so that daylight
// saving time and the zone's history count. One implementation file per system
// (time_zone_posix.cpp reads the tz database, time_zone_windows.cpp asks Windows);
// nothing of a system's own types appears here, and no call throws.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/device_time.h"

namespace quillet {

class TimeZone {
public:
    enum class Kind { Utc, Computer, Named };

    // UTC: the times as the receiver recorded them.
    TimeZone() = default;

    // The computer's own zone (on Linux the one TZ names, else /etc/localtime); UTC,
    // named so, when the system names none it knows.
    static TimeZone computer();
    // A zone of the system's database by its name ("Europe/Moscow"; on Windows also a
    // zone of the registry, "Russian Standard Time"); nothing for a name it lacks.
    static std::optional<TimeZone> named(std::string_view name);
    // The zone a setting names: "utc", "local" or a name for `named`, as `setting`
    // writes them; nothing for a name the system lacks.
    static std::optional<TimeZone> fromSetting(std::string_view setting);

    Kind kind() const { return kind_; }
    bool isUtc() const { return kind_ == Kind::Utc; }
    // "UTC", or the system's name of the zone ("Europe/Moscow").
    const std::string& name() const { return name_; }
    // "utc", "local" or the zone's name: what fromSetting reads back.
    std::string setting() const;

    // Seconds the zone's clocks were ahead of UTC at the instant, given in seconds since
    // 1970-01-01 00:00:00 UTC; 0 for UTC.
    std::int64_t offsetAt(std::int64_t unixSeconds) const;

    friend bool operator==(const TimeZone& a, const TimeZone& b) {
        return a.kind_ == b.kind_ && a.name_ == b.name_;
    }

    struct Rules;  // the system's description of the zone

private:
    TimeZone(Kind kind, std::string name, std::shared_ptr<const Rules> rules)
        : kind_(kind), name_(std::move(name)), rules_(std::move(rules)) {}

    Kind kind_ = Kind::Utc;
    std::string name_ = "UTC";
    std::shared_ptr<const Rules> rules_;
};

// A zone the system offers to choose: the name `TimeZone::named` takes and the text a
// list shows for it ("Europe/Moscow"; on Windows "(UTC+03:00) Moscow, St. Petersburg").
struct TimeZoneChoice {
    std::string name;
    std::string text;  // UTF-8
};
// Every zone the system's database holds, in the order a list shows them.
std::vector<TimeZoneChoice> timeZoneChoices();

// Seconds from 1970-01-01 00:00:00 UTC to the first device second.
inline constexpr std::int64_t kDeviceEpochUnixSeconds = 1167609600;

// The calendar text of the instant's wall-clock time in the zone, in the layout of
// writeDeviceTime ("YYYY-MM-DD  hh:mm:ss ", 21 characters), so that the texts sort as
// the times do. For UTC exactly writeDeviceTime's text; an instant that has no such text
// in UTC has none in any zone. Written at `out`; returns its end.
char* writeZonedTime(char* out, DeviceTime t, const TimeZone& zone);
std::string formatZonedTime(DeviceTime t, const TimeZone& zone);

}  // namespace quillet
