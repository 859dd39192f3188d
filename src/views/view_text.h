#pragma once

#include <cstdint>
#include <string>

namespace quillet {

// A record number as the "#" column shows it: decimal, right-aligned in at least two
// characters (" 7", "10", "100").
std::string numberText(std::uint64_t number);

// The 32 bits taken as a signed integer, in decimal (0xFFFFFFFF is "-1").
std::string signedDecimal(std::uint32_t value);

}  // namespace quillet
