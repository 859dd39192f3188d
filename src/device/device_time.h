// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillet {

// Seconds since 2007-01-01 00:00:00, no time zone, no daylight saving.
using DeviceTime = std::uint32_t;

// The Gregorian calendar text "YYYY-MM-DD  hh:mm:ss " (21 characters, two blanks in
// the middle, one trailing blank), or the empty text for an instant after
// 2126-02-06 06:28:12, which only a track time that is "no time" or lies before 2007
// gives.
std::string formatDeviceTime(DeviceTime t);

// The last second the calendar writes: 2126-02-06 06:28:12. A track point's time field
// of 0xFFFFFFFF ("no time") becomes the next second, and a field below the track offset
// wraps around to the seconds after it.
inline constexpr DeviceTime kLastCalendarTime = 3758423292;

inline constexpr std::size_t kCalendarTextSize = 21;
// The same text written at `out` (room for kCalendarTextSize characters); returns its
// end, which is `out` itself for the empty text. No terminator is written.
char* writeDeviceTime(char* out, DeviceTime t);

}  // namespace quillet
