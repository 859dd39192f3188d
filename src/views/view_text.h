// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include "text/translation.h"

namespace quillet {

// What a fill says when a file holds more records than a list holds rows: names the
// file (fileName) and the count its header gives of its records (what, in the plural).
std::string tooManyRowsMessage(std::string_view fileName, std::uint32_t headerCount,
                               std::string_view what);

// The 32 bits taken as a signed integer, in decimal (0xFFFFFFFF is "-1").
std::string signedDecimal(std::uint32_t value);

// The warning for a device file shorter than its header: "GARMIN_WPT.NVM is shorter
// than its 16-byte header and holds no waypoints." and what to do about it.
std::string shortHeaderMessage(std::string_view fileName, std::string_view heldRecords);

}  // namespace quillet
