#include "device/device_time.h"

#include <array>
#include <cstdio>

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

}  // namespace

std::string formatDeviceTime(DeviceTime t) {
    std::uint32_t days = t / kSecondsPerDay;
    const std::uint32_t secondOfDay = t % kSecondsPerDay;

    std::size_t yearIndex = 0;
    while (days >= kYearLengths[yearIndex]) {
        days -= kYearLengths[yearIndex];
        ++yearIndex;
        if (yearIndex == kYearLengths.size()) {
            return {};
        }
    }

    const auto& months = kYearLengths[yearIndex] == 366 ? kLeapMonthLengths : kMonthLengths;
    std::size_t month = 0;
    while (month < 11 && days >= months[month]) {
        days -= months[month];
        ++month;
    }

    char text[64];  // the text takes 21 characters; the rest quiets width analysis
    std::snprintf(text, sizeof text, "%4.4i-%2.2i-%2.2i  %2.2i:%2.2i:%2.2i ",
                  kFirstYear + static_cast<int>(yearIndex), static_cast<int>(month + 1),
                  static_cast<int>(days + 1), static_cast<int>(secondOfDay / 3600),
                  static_cast<int>(secondOfDay % 3600 / 60), static_cast<int>(secondOfDay % 60));
    return text;
}

}  // namespace quillet
