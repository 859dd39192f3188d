// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The number texts of the list and of the GPX files, written without the printf
// machinery but byte for byte as the formats "%9.7f", "%i" and "%2llu" write them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillet {

// Room that every text of this file fits in, terminator not included ("%9.7f" of the
// largest double: a sign, 309 digits, the point and seven decimals).
inline constexpr std::size_t kNumberTextMax = 320;

// Each writes the text at `out` and returns the end of it; no terminator is written.
char* writeFixed7(char* out, double value);  // "%9.7f"
char* writeDecimal(char* out, int value);    // "%i"

// The same texts as strings.
std::string fixed7Text(double value);
std::string decimalText(int value);

// A record number as the "#" column shows it: decimal, right-aligned in at least two
// characters (" 7", "10", "100"), as "%2llu" writes it.
std::string numberText(std::uint64_t number);

}  // namespace quillet
