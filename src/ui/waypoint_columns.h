// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace quillet::waypoint_columns {

// Positions of the waypoint view's columns: the view writes them, the GPX export reads
// them back.
inline constexpr std::size_t kEncoding = 0;
inline constexpr std::size_t kNumber = 1;
inline constexpr std::size_t kName = 2;
inline constexpr std::size_t kSymbol = 3;
inline constexpr std::size_t kLatitude = 4;
inline constexpr std::size_t kLongitude = 5;
inline constexpr std::size_t kElevation = 6;
inline constexpr std::size_t kTime = 7;
inline constexpr std::size_t kFirstCategory = 8;  // category k is in column 7 + k
inline constexpr int kCategories = 16;

}  // namespace quillet::waypoint_columns
