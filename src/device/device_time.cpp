#include "device/device_time.h"

#include <array>

namespace quillet {
namespace {

constexpr int kFirstYear = 2007;
constexpr std::uint32_t kSecondsPerDay = 86400;

// Days of each year the device calendar knows, 2007 to 2024.
constexpr std::array<std::uint32_t, 18> kYearLengths{
    365, 366, 365, 365, 365, 366, 365, 365, 365,  // 2007 - 2015
    366, 365, 365, 365, 366, 365, 365, 365, 366,  // 2016 - 2024
};

constexpr std::array<std::uint32_t, 12> kMonthLengths{31, 28, 31, 30, 31, 30,
                                                      31, 31, 30, 31, 30, 31};
constexpr std::array<std::uint32_t, 12> kLeapMonthLengths{31, 29, 31, 30, 31, 30,
                                                          31, 31, 30, 31, 30, 31};

// Two decimal digits of a value below 100.
char* writeTwoDigits(char* out, std::uint32_t value) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
}

}  // namespace

char* writeDeviceTime(char* out, DeviceTime t) {
    std::uint32_t days = t / kSecondsPerDay;
    const std::uint32_t secondOfDay = t % kSecondsPerDay;

    std::size_t yearIndex = 0;
    while (days >= kYearLengths[yearIndex]) {
        days -= kYearLengths[yearIndex];
        ++yearIndex;
        if (yearIndex == kYearLengths.size()) {
            return out;
        }
    }

    const auto& months = kYearLengths[yearIndex] == 366 ? kLeapMonthLengths : kMonthLengths;
    std::size_t month = 0;
    while (month < 11 && days >= months[month]) {
        days -= months[month];
        ++month;
    }

    // "YYYY-MM-DD  hh:mm:ss ": every field zero-padded, the year always four digits.
    const auto year = static_cast<std::uint32_t>(kFirstYear + yearIndex);
    out = writeTwoDigits(out, year / 100);
    out = writeTwoDigits(out, year % 100);
    *out++ = '-';
    out = writeTwoDigits(out, static_cast<std::uint32_t>(month + 1));
    *out++ = '-';
    out = writeTwoDigits(out, days + 1);
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
