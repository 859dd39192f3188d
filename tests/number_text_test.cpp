// SPDX-License-Identifier: GPL-3.0-or-later
// The number texts must be the printf formats' texts byte for byte: checked against
// snprintf over millions of values, the halfway cases of the seventh decimal included.

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "device/number_text.h"
#include "device/track_files.h"
#include "device/waypoint_file.h"

namespace quillet {
namespace {

// Fewer values under the sanitizers, which make every call several times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kValuesPerKind = 150'000;
#else
constexpr int kValuesPerKind = 1'000'000;
#endif

std::string printed(const char* format, double value) {
    char text[400];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string printed(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

double fromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

using Generator = std::function<double(std::mt19937_64&)>;

struct DoubleKind {
    const char* name;
    Generator next;
};

// Seven decimals halfway between two texts: d.ddddddd5 parsed to its nearest double,
// which lies just above or just below the tie, or one of its neighbours.
double nearDecimalTie(std::mt19937_64& random) {
    char text[64];
    const long long whole = static_cast<long long>(random() % 360) - 180;
    std::snprintf(text, sizeof text, "%lld.%07llu5", whole,
                  static_cast<unsigned long long>(random() % 10'000'000));
    const double value = std::strtod(text, nullptr);
    switch (random() % 3) {
        case 0:
            return value;
        case 1:
            return std::nextafter(value, -INFINITY);
        default:
            return std::nextafter(value, INFINITY);
    }
}

const DoubleKind kDoubleKinds[] = {
    {"waypoint latitude codes",
     [](std::mt19937_64& r) {
         return static_cast<std::int32_t>(r()) * waypoint_layout::kLatitudeFactor;
     }},
    {"waypoint longitude codes",
     [](std::mt19937_64& r) {
         return static_cast<std::int32_t>(r()) * waypoint_layout::kLongitudeFactor;
     }},
    {"track codes",
     [](std::mt19937_64& r) {
         const auto code = static_cast<double>(r() % 16'777'216) - 8'388'608;
         return code *
                (r() % 2 ? track_layout::kActiveLatitudeFactor : track_layout::kLongitudeFactor);
     }},
    // m / 256 with m odd has a 5 exactly in the eighth decimal and nothing after it:
    // the exact ties, which round to the even seventh decimal.
    {"exact ties",
     [](std::mt19937_64& r) {
         return static_cast<double>(2 * static_cast<std::int64_t>(r() % 100'000) - 100'000 + 1) /
                256;
     }},
    {"near decimal ties", nearDecimalTie},
    {"tiny and rounding to zero",
     [](std::mt19937_64& r) {
         return std::ldexp(static_cast<double>(r() % 1'000'000) - 500'000,
                           -static_cast<int>(r() % 60));
     }},
    // Full 53-bit mantissas around the largest values the integer path takes (1e11),
    // where the product is shifted by only a few bits.
    {"large, on both sides of the general path",
     [](std::mt19937_64& r) {
         return std::ldexp(static_cast<double>(r() >> 11), -static_cast<int>(r() % 40));
     }},
    {"any finite bits",
     [](std::mt19937_64& r) {
         for (;;) {
             const double value = fromBits(r());
             if (std::isfinite(value)) {
                 return value;
             }
         }
     }},
};

TEST(NumberTextTest, FixedSevenIsPrintfsTextOverMillionsOfValues) {
    for (const auto& kind : kDoubleKinds) {
        std::mt19937_64 random(7);
        // Values of any magnitude print up to 300 digits; fewer of them suffice.
        const int count =
            std::strcmp(kind.name, "any finite bits") == 0 ? kValuesPerKind / 10 : kValuesPerKind;
        int mismatches = 0;
        for (int i = 0; i < count && mismatches < 5; ++i) {
            const double value = kind.next(random);
            const std::string expected = printed("%9.7f", value);
            const std::string actual = fixed7Text(value);
            if (actual != expected) {
                ++mismatches;
                ADD_FAILURE() << kind.name << ": " << std::hexfloat << value << " gives " << actual
                              << ", printf gives " << expected;
            }
        }
    }
}

TEST(NumberTextTest, FixedSevenOfSpecialValues) {
    const double values[] = {0.0,
                             -0.0,
                             5.5,
                             55.0230965032039,
                             -44.99999984,
                             9.99999995,
                             -9.99999995,
                             0.00000005,
                             -0.00000005,
                             0.0390625,
                             -1e-300,
                             DBL_MIN,
                             std::numeric_limits<double>::denorm_min(),
                             DBL_MAX,
                             -DBL_MAX,
                             1e22,
                             INFINITY,
                             -INFINITY,
                             std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::quiet_NaN()};
    for (const double value : values) {
        EXPECT_EQ(fixed7Text(value), printed("%9.7f", value)) << std::hexfloat << value;
    }
}

TEST(NumberTextTest, DecimalsArePrintfsTexts) {
    const auto check = [](int value) {
        ASSERT_EQ(decimalText(value), printed("%i", value)) << value;
    };
    for (int value = -1'000; value <= 100'000; ++value) {
        check(value);
    }
    for (const int value : {INT_MIN, INT_MIN + 1, INT_MAX, INT_MAX - 1, -99'999, 65'535}) {
        check(value);
    }
    std::mt19937_64 random(11);
    for (int i = 0; i < kValuesPerKind; ++i) {
        check(static_cast<int>(static_cast<std::uint32_t>(random())));
    }
}

TEST(NumberTextTest, RecordNumbersArePrintfsTexts) {
    const auto check = [](std::uint64_t number) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%2llu", static_cast<unsigned long long>(number));
        ASSERT_EQ(numberText(number), expected) << number;
    };
    for (std::uint64_t number = 0; number <= 200'000; ++number) {
        check(number);
    }
    for (const std::uint64_t number : {0xFFFF'FFFFull, 0x1'0000'0000ull, ~0ull}) {
        check(number);
    }
}

}  // namespace
}  // namespace quillet
