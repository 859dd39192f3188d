// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <random>
#include <string>

#include "device/device_time.h"
#include "device/time_zone.h"
#include "encoder/device_encoder.h"

namespace quillet {
namespace {

struct TimeCase {
    DeviceTime seconds;
    const char* text;
};

TEST(DeviceTime, FormatsCalendarText) {
    const TimeCase cases[] = {
        {0, "2007-01-01  00:00:00 "},
        {59, "2007-01-01  00:00:59 "},
        {60, "2007-01-01  00:01:00 "},
        {86399, "2007-01-01  23:59:59 "},
        {86400, "2007-01-02  00:00:00 "},
        {2678400, "2007-02-01  00:00:00 "},
        {5097600, "2007-03-01  00:00:00 "},
        {31535999, "2007-12-31  23:59:59 "},
        {31536000, "2008-01-01  00:00:00 "},
        {36633600, "2008-02-29  00:00:00 "},
        {36720000, "2008-03-01  00:00:00 "},
        {162907200, "2012-02-29  12:00:00 "},
        {189388799, "2012-12-31  23:59:59 "},
        {189388800, "2013-01-01  00:00:00 "},
        {220924800, "2014-01-01  00:00:00 "},
        {519208205, "2023-06-15  08:30:05 "},
        {541555200, "2024-02-29  00:00:00 "},
        {568079999, "2024-12-31  23:59:59 "},
        {568080000, "2025-01-01  00:00:00 "},
        {629044205, "2026-12-07  14:30:05 "},
        {2939932799u, "2100-02-28  23:59:59 "},
        {2939932800u, "2100-03-01  00:00:00 "},  // 2100 is no leap year
        {3758423292u, "2126-02-06  06:28:12 "},
        {3758423293u, ""},  // a track time field of 0xFFFFFFFF: no time
        {4294967295u, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatDeviceTime(c.seconds), c.text) << c.seconds;
    }
}

// The calendar against an independent day count with the Gregorian leap rule, at
// the first and last second of every day of the range.
TEST(DeviceTime, AgreesWithCalendarOnEveryDay) {
    const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int year = 2007; year <= 2125; ++year) {
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        for (int month = 1; month <= 12; ++month) {
            const int days = monthDays[month - 1] + (month == 2 && leap ? 1 : 0);
            for (int day = 1; day <= days; ++day) {
                char expected[32];
                std::snprintf(expected, sizeof expected, "%04d-%02d-%02d  00:00:00 ", year, month,
                              day);
                const DeviceTime start = encoder::deviceTimeOf(year, month, day, 0, 0, 0);
                ASSERT_EQ(formatDeviceTime(start), expected);
                std::snprintf(expected, sizeof expected, "%04d-%02d-%02d  23:59:59 ", year, month,
                              day);
                ASSERT_EQ(formatDeviceTime(start + 86399), expected);
            }
        }
    }
}

// Every field of the text against the C library's calendar (which, like the device,
// knows no leap seconds) at a stride through the whole range and at random instants.
TEST(DeviceTime, AgreesWithTheCLibraryCalendarAtAnyTimeOfDay) {
    const std::time_t epoch = 1167609600;  // 2007-01-01 00:00:00 UTC
    const auto expectedText = [&](DeviceTime t) {
        const std::time_t instant = epoch + static_cast<std::time_t>(t);
        std::tm calendar{};
#ifdef _WIN32
        gmtime_s(&calendar, &instant);
#else
        gmtime_r(&instant, &calendar);
#endif
        if (t > 3758423292u) {
            return std::string();
        }
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d  %H:%M:%S ", &calendar);
        return std::string(text);
    };
    std::mt19937 random(3);
    for (std::uint64_t t = 0; t <= 0xFFFFFFFF; t += 9973 + random() % 4) {
        ASSERT_EQ(formatDeviceTime(static_cast<DeviceTime>(t)),
                  expectedText(static_cast<DeviceTime>(t)))
            << t;
    }
    for (int i = 0; i < 100'000; ++i) {
        const DeviceTime t = random();
        ASSERT_EQ(formatDeviceTime(t), expectedText(t)) << t;
    }
}

struct ZonedCase {
    const char* zone;
    DeviceTime utc;
    const char* text;  // the wall clock there, written by hand
};

// Each zone's rules at the instant: the DST switches, Moscow's permanent +4 from
// 2011-03-27 and its return to +3 on 2014-10-26. The skipped hour's texts never appear
// and the repeated hour's appear twice: the instant is converted, no text is made up.
TEST(DeviceTime, WritesTheWallClockOfTheZoneAtTheInstant) {
    using encoder::deviceTimeOf;
    const ZonedCase cases[] = {
        {"Europe/Moscow", deviceTimeOf(2007, 1, 1, 0, 0, 0), "2007-01-01  03:00:00 "},
        {"Europe/Moscow", deviceTimeOf(2010, 7, 1, 12, 0, 0), "2010-07-01  16:00:00 "},
        {"Europe/Moscow", deviceTimeOf(2010, 10, 30, 22, 59, 59), "2010-10-31  02:59:59 "},
        {"Europe/Moscow", deviceTimeOf(2010, 10, 30, 23, 0, 0), "2010-10-31  02:00:00 "},
        {"Europe/Moscow", deviceTimeOf(2011, 1, 15, 12, 0, 0), "2011-01-15  15:00:00 "},
        {"Europe/Moscow", deviceTimeOf(2011, 3, 26, 22, 59, 59), "2011-03-27  01:59:59 "},
        {"Europe/Moscow", deviceTimeOf(2011, 3, 26, 23, 0, 0), "2011-03-27  03:00:00 "},
        {"Europe/Moscow", deviceTimeOf(2012, 1, 15, 12, 0, 0), "2012-01-15  16:00:00 "},
        {"Europe/Moscow", deviceTimeOf(2014, 10, 25, 21, 59, 59), "2014-10-26  01:59:59 "},
        {"Europe/Moscow", deviceTimeOf(2014, 10, 25, 22, 0, 0), "2014-10-26  01:00:00 "},
        {"Europe/Moscow", deviceTimeOf(2015, 7, 1, 12, 0, 0), "2015-07-01  15:00:00 "},
        {"Europe/Berlin", deviceTimeOf(2011, 1, 15, 12, 0, 0), "2011-01-15  13:00:00 "},
        {"Europe/Berlin", deviceTimeOf(2011, 3, 27, 0, 59, 59), "2011-03-27  01:59:59 "},
        {"Europe/Berlin", deviceTimeOf(2011, 3, 27, 1, 0, 0), "2011-03-27  03:00:00 "},
        {"Europe/Berlin", deviceTimeOf(2014, 3, 30, 0, 59, 59), "2014-03-30  01:59:59 "},
        {"Europe/Berlin", deviceTimeOf(2014, 3, 30, 1, 0, 0), "2014-03-30  03:00:00 "},
        {"Europe/Berlin", deviceTimeOf(2014, 10, 26, 0, 30, 0), "2014-10-26  02:30:00 "},
        {"Europe/Berlin", deviceTimeOf(2014, 10, 26, 1, 30, 0), "2014-10-26  02:30:00 "},
        {"Europe/Berlin", deviceTimeOf(2015, 7, 1, 12, 0, 0), "2015-07-01  14:00:00 "},
        {"America/New_York", deviceTimeOf(2007, 1, 1, 0, 0, 0), "2006-12-31  19:00:00 "},
        {"America/New_York", deviceTimeOf(2011, 3, 13, 6, 59, 59), "2011-03-13  01:59:59 "},
        {"America/New_York", deviceTimeOf(2011, 3, 13, 7, 0, 0), "2011-03-13  03:00:00 "},
        {"America/New_York", deviceTimeOf(2011, 11, 6, 5, 30, 0), "2011-11-06  01:30:00 "},
        {"America/New_York", deviceTimeOf(2011, 11, 6, 6, 30, 0), "2011-11-06  01:30:00 "},
        {"America/New_York", deviceTimeOf(2014, 3, 9, 7, 0, 0), "2014-03-09  03:00:00 "},
        {"America/New_York", deviceTimeOf(2014, 11, 2, 5, 59, 59), "2014-11-02  01:59:59 "},
        {"America/New_York", deviceTimeOf(2014, 11, 2, 6, 0, 0), "2014-11-02  01:00:00 "},
        {"America/New_York", deviceTimeOf(2015, 7, 1, 12, 0, 0), "2015-07-01  08:00:00 "},
        // No calendar text in UTC: none in any zone.
        {"Europe/Moscow", 4294967295u, ""},
    };
    for (const auto& c : cases) {
        const std::optional<TimeZone> zone = TimeZone::named(c.zone);
        if (!zone) {
            GTEST_SKIP() << "the system knows no zone " << c.zone;
        }
        EXPECT_EQ(formatZonedTime(c.utc, *zone), c.text) << c.zone << " " << c.utc;
    }
}

TEST(DeviceTime, ReadsTheTimeZoneSettings) {
    EXPECT_TRUE(TimeZone::fromSetting("utc")->isUtc());
    EXPECT_TRUE(TimeZone::fromSetting("UTC")->isUtc());
    EXPECT_EQ(TimeZone::fromSetting("local")->kind(), TimeZone::Kind::Computer);
    EXPECT_EQ(TimeZone::fromSetting("local")->setting(), "local");
    EXPECT_FALSE(TimeZone::fromSetting("Nowhere/Atlantis"));
    EXPECT_FALSE(TimeZone::fromSetting(""));
    EXPECT_EQ(formatZonedTime(0, TimeZone()), "2007-01-01  00:00:00 ");
    if (const auto moscow = TimeZone::fromSetting("Europe/Moscow")) {
        EXPECT_EQ(moscow->setting(), "Europe/Moscow");
        EXPECT_EQ(moscow->name(), "Europe/Moscow");
    }
}

}  // namespace
}  // namespace quillet
