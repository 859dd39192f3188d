// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/device_time.h"

namespace quillet {
namespace {

constexpr std::uint32_t kSecondsPerDay = 86400;
// 2007-01-01, the device's day 0, counted in days from 1970-01-01.
constexpr std::uint32_t kFirstDayFrom1970 = 13514;

struct CivilDate {
    std::uint32_t year;
    std::uint32_t month;  // 1 to 12
    std::uint32_t day;    // 1 to 31
};

// The Gregorian date of a day counted from 1970-01-01, in 400-year eras of 146097 days
// whose years start on 1 March, so that the leap day ends a year.
CivilDate civilDate(std::uint32_t daysFrom1970) {
    const std::uint32_t days = daysFrom1970 + 719468;  // from 0000-03-01
    const std::uint32_t era = days / 146097;
    const std::uint32_t dayOfEra = days - era * 146097;
    const std::uint32_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::uint32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::uint32_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const std::uint32_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    const std::uint32_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    const std::uint32_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

// Two decimal digits of a value below 100.
char* writeTwoDigits(char* out, std::uint32_t value) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
}

}  // namespace

char* writeDeviceTime(char* out, DeviceTime t) {
    if (t > kLastCalendarTime) {
        return out;
    }
    const CivilDate date = civilDate(kFirstDayFrom1970 + t / kSecondsPerDay);
    const std::uint32_t secondOfDay = t % kSecondsPerDay;

    // "YYYY-MM-DD  hh:mm:ss ": every field zero-padded, the year always four digits.
    out = writeTwoDigits(out, date.year / 100);
    out = writeTwoDigits(out, date.year % 100);
    *out++ = '-';
    out = writeTwoDigits(out, date.month);
    *out++ = '-';
    out = writeTwoDigits(out, date.day);
    *out++ = ' ';
    *out++ = ' ';
    out = writeTwoDigits(out, secondOfDay / 3600);
    *out++ = ':';
    out = writeTwoDigits(out, secondOfDay % 3600 / 60);
    *out++ = ':';
    out = writeTwoDigits(out, secondOfDay % 60);
    *out++ = ' ';
    return out;
}
std::string formatDeviceTime(DeviceTime t) {
    char text[kCalendarTextSize];
    return {text, writeDeviceTime(text, t)};
}

}  // namespace quillet
