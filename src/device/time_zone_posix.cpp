// SPDX-License-Identifier: GPL-3.0-or-later
// The zones of the tz database the system keeps in /usr/share/zoneinfo.

#include <date/tz.h>

#include <algorithm>
#include <cstdlib>
#include <exception>

#include "device/time_zone.h"

namespace quillet {

struct TimeZone::Rules {
    const date::time_zone* zone = nullptr;
};

namespace {

// The database's zone of the name, or none; the database is read on first use.
const date::time_zone* findZone(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    try {
        return date::locate_zone(name);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The zone name TZ gives, as the C library reads it: a leading ':' dropped, and a path
// into the zoneinfo folder cut to the name under it.
std::string_view zoneNameOfTz(std::string_view tz) {
    if (tz.starts_with(':')) {
        tz.remove_prefix(1);
    }
    constexpr std::string_view kFolder = "/zoneinfo/";
    if (tz.starts_with('/')) {
        const std::size_t at = tz.rfind(kFolder);
        if (at != std::string_view::npos) {
            tz.remove_prefix(at + kFolder.size());
        }
    }
    return tz;
}

}  // namespace

TimeZone TimeZone::computer() {
    const date::time_zone* zone = nullptr;
    if (const char* tz = std::getenv("TZ")) {
        // Set but naming no zone of the database (empty, or a rule such as "JST-9"):
        // UTC, as the C library shows it for an empty or unknown name.
        zone = findZone(zoneNameOfTz(tz));
    } else {
        try {
            zone = date::current_zone();
        } catch (const std::exception&) {
            zone = nullptr;
        }
    }
    if (zone == nullptr) {
        return TimeZone(Kind::Computer, "UTC", nullptr);
    }
    return TimeZone(Kind::Computer, std::string(zone->name()),
                    std::make_shared<const Rules>(Rules{zone}));
}

std::optional<TimeZone> TimeZone::named(std::string_view name) {
    const date::time_zone* zone = findZone(name);
    if (zone == nullptr) {
        return std::nullopt;
    }
    return TimeZone(Kind::Named, std::string(name), std::make_shared<const Rules>(Rules{zone}));
}

std::int64_t TimeZone::offsetAt(std::int64_t unixSeconds) const {
    if (!rules_) {
        return 0;
    }
    const date::sys_seconds instant{std::chrono::seconds{unixSeconds}};
    return rules_->zone->get_info(instant).offset.count();
}

std::vector<TimeZoneChoice> timeZoneChoices() {
    std::vector<TimeZoneChoice> choices;
    try {
        for (const date::time_zone& zone : date::get_tzdb().zones) {
            const std::string name(zone.name());
            choices.push_back({name, name});
        }
    } catch (const std::exception&) {
        return {};
    }
    std::sort(choices.begin(), choices.end(),
              [](const TimeZoneChoice& a, const TimeZoneChoice& b) { return a.name < b.name; });
    return choices;
}

}  // namespace quillet
