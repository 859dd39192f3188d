#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// A record number as the "#" column shows it: decimal, right-aligned in at least two
// characters (" 7", "10", "100").
std::string numberText(std::uint64_t number);

// What a fill says when a file holds more records than a list holds rows: names the
// file (fileName) and the count its header gives of its records (what, in the plural).
std::string tooManyRowsMessage(std::string_view fileName, std::uint32_t headerCount,
                               std::string_view what);

// The 32 bits taken as a signed integer, in decimal (0xFFFFFFFF is "-1").
std::string signedDecimal(std::uint32_t value);

}  // namespace quillet
