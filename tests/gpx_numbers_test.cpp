// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/gpx_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "device/device_time.h"
#include "device/number_text.h"
#include "export/gpx_export.h"

namespace quillet {
namespace {

std::string fast(double value) {
    char text[kNumberTextMax];
    return std::string(text, writeFixed7(text, value));
}

std::string printed(double value) {
    char text[kNumberTextMax];
    const int length = std::snprintf(text, sizeof text, "%9.7f", value);
    return std::string(text, static_cast<std::size_t>(length));
}

TEST(GpxNumbers, FormatsCoordinatesExactlyAsPrintfDoes) {
    const double fixed[] = {0.0,
                            -0.0,
                            5.5,
                            55.0230965032039,
                            360.0,
                            180.0,
                            -44.9999998,
                            1e-8,
                            -1e-9,
                            0.00000005,
                            0.00390625,  // exactly halfway at the eighth decimal: to even
                            0.00390635,
                            2.5e-7,
                            99999999999.99,
                            1e11,
                            -1e300,
                            std::numeric_limits<double>::denorm_min(),
                            std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN()};
    for (double value : fixed) {
        EXPECT_EQ(fast(value), printed(value)) << value;
    }

    std::mt19937_64 random(20240611);
    // Every track coordinate the device can hold.
    for (std::uint32_t code = 0; code < 16777216; code += 97) {
        for (double factor : {1.0728836699058814e-05, 2.1457673398117627e-05}) {
            const double value = code * factor;
            ASSERT_EQ(fast(value), printed(value)) << code;
        }
    }
    // Exact halfway values: multiples of 2^-k with a 5 in the eighth decimal.
    std::uniform_int_distribution<std::int64_t> units(-(std::int64_t{1} << 40),
                                                      std::int64_t{1} << 40);
    std::uniform_int_distribution<int> shifts(0, 60);
    for (int i = 0; i < 200000; ++i) {
        const double value = std::ldexp(static_cast<double>(units(random)), -shifts(random));
        ASSERT_EQ(fast(value), printed(value)) << value;
    }
    // Any bit pattern of a finite double of moderate size.
    std::uniform_real_distribution<double> wide(-1e6, 1e6);
    for (int i = 0; i < 100000; ++i) {
        const double value = wide(random);
        ASSERT_EQ(fast(value), printed(value)) << value;
        const double next = std::nextafter(value, 0.0);
        ASSERT_EQ(fast(next), printed(next)) << next;
    }
}

TEST(GpxNumbers, FormatsWholeNumbersAsPrintfDoes) {
    for (int value : {0, 1, -1, -5, 110, 14249, -1499, std::numeric_limits<int>::min(),
                      std::numeric_limits<int>::max()}) {
        char text[kIntMaxChars];
        EXPECT_EQ(std::string(text, formatInt(text, value)), std::to_string(value));
    }
}

TEST(GpxNumbers, GivesTheTimeOfTheCalendarText) {
    GpxTimeFormatter formatter;
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> any;
    const auto check = [&](DeviceTime time) {
        char text[kGpxTimeChars + 1];
        const std::string fast(text, formatter.format(text, time));
        ASSERT_EQ(fast, toGpxTime(formatDeviceTime(time))) << time;
    };
    for (DeviceTime time : {0u, 59u, 86399u, 86400u, 36633600u, 541555200u, 568079999u, 568080000u,
                            3758400000u, 3758423292u, 3758423293u, 4294967295u}) {
        check(time);
    }
    for (DeviceTime time = 519208205; time < 519208205 + 200000; time += 7) {
        check(time);  // successive points of one track, across day boundaries
    }
    for (int i = 0; i < 100000; ++i) {
        check(any(random));
    }
}

}  // namespace
}  // namespace quillet
