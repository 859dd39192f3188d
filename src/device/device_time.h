#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillet {

// Seconds since 2007-01-01 00:00:00, no time zone, no daylight saving.
using DeviceTime = std::uint32_t;

// The calendar text "YYYY-MM-DD  hh:mm:ss " (21 characters, two blanks in the middle,
// one trailing blank), or the empty text for an instant after 2024-12-31 23:59:59.
std::string formatDeviceTime(DeviceTime t);

inline constexpr std::size_t kCalendarTextSize = 21;
// The same text written at `out` (room for kCalendarTextSize characters); returns its
// end, which is `out` itself for the empty text. No terminator is written.
char* writeDeviceTime(char* out, DeviceTime t);

}  // namespace quillet
