// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/device_time.h"

namespace quillet {

inline constexpr std::size_t kIntMaxChars = 12;
inline constexpr std::size_t kGpxTimeChars = 20;

// Whether a latitude and a longitude as written lie in the ranges GPX allows: -90 to 90,
// and -180 up to but not including 180. A text that is no number lies outside.
bool isGpxCoordinate(std::string_view latitude, std::string_view longitude);

// Writes the value as snprintf "%i" does and returns the end.
char* formatInt(char* at, int value);

// The GPX time form of device times, "YYYY-MM-DDThh:mm:ssZ", the same text as
// toGpxTime(formatDeviceTime(t)). The date of the last day asked for is kept, since the
// points of a track mostly share their day.
class GpxTimeFormatter {
public:
    // Writes the 20 characters and returns the end, or returns `at` unchanged when the
    // time has no calendar text (after 2024).
    char* format(char* at, DeviceTime time);

private:
    static constexpr std::uint32_t kNoDay = 0xFFFFFFFF;
    std::uint32_t day_ = kNoDay;
    bool dayHasText_ = false;
    char date_[11] = {};  // "YYYY-MM-DDT"
};

}  // namespace quillet
