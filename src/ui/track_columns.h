// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace quillet::track_columns {

// Positions of the track view's columns: the view writes them, the GPX export and the
// command line read them back.
inline constexpr std::size_t kBlank = 0;
inline constexpr std::size_t kNumber = 1;
inline constexpr std::size_t kName = 2;
inline constexpr std::size_t kPoints = 3;
inline constexpr std::size_t kStart = 4;
inline constexpr std::size_t kFinish = 5;
inline constexpr std::size_t kCount = 6;

}  // namespace quillet::track_columns
