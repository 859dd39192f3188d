// SPDX-License-Identifier: GPL-3.0-or-later
// What every system's time zone shares: the setting's words and the wall-clock text.

#include <chrono>

#include "device/time_zone.h"

namespace quillet {

namespace {

constexpr std::string_view kUtcSetting = "utc";
constexpr std::string_view kComputerSetting = "local";

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

char* writeTwoDigits(char* out, unsigned value) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
}

}  // namespace

std::optional<TimeZone> TimeZone::fromSetting(std::string_view setting) {
    if (equalsIgnoringCase(setting, kUtcSetting)) {
        return TimeZone();
    }
    if (equalsIgnoringCase(setting, kComputerSetting)) {
        return computer();
    }
    return named(setting);
}

std::string TimeZone::setting() const {
    switch (kind_) {
        case Kind::Utc:
            return std::string(kUtcSetting);
        case Kind::Computer:
            return std::string(kComputerSetting);
        case Kind::Named:
            break;
    }
    return name_;
}

char* writeZonedTime(char* out, DeviceTime t, const TimeZone& zone) {
    char* end = writeDeviceTime(out, t);
    if (zone.isUtc() || end == out) {
        return end;
    }
    using namespace std::chrono;
    const std::int64_t utc = kDeviceEpochUnixSeconds + t;
    const sys_seconds wall{seconds{utc + zone.offsetAt(utc)}};
    const sys_days day = floor<days>(wall);
    const year_month_day date{day};
    const hh_mm_ss clock{wall - day};
    const int year = static_cast<int>(date.year());
    if (year < 1000 || year > 9999) {
        return out;  // no four-digit year: no text
    }
    out = writeTwoDigits(out, static_cast<unsigned>(year / 100));
    out = writeTwoDigits(out, static_cast<unsigned>(year % 100));
    *out++ = '-';
    out = writeTwoDigits(out, static_cast<unsigned>(date.month()));
    *out++ = '-';
    out = writeTwoDigits(out, static_cast<unsigned>(date.day()));
    *out++ = ' ';
    *out++ = ' ';
    out = writeTwoDigits(out, static_cast<unsigned>(clock.hours().count()));
    *out++ = ':';
    out = writeTwoDigits(out, static_cast<unsigned>(clock.minutes().count()));
    *out++ = ':';
    out = writeTwoDigits(out, static_cast<unsigned>(clock.seconds().count()));
    *out++ = ' ';
    return out;
}

std::string formatZonedTime(DeviceTime t, const TimeZone& zone) {
    char text[kCalendarTextSize];
    return {text, writeZonedTime(text, t, zone)};
}

}  // namespace quillet
