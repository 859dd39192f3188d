// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstddef>

#include "device/waypoint_file.h"

namespace quillet {

// The name is a bit stream that starts at bit 3 of its first stored byte; the last
// stored byte is rotated within itself rather than taking bits from the byte after it.
std::array<std::uint8_t, 124> unpackName(std::span<const std::uint8_t, 124> stored) {
    std::array<std::uint8_t, 124> name{};
    for (std::size_t k = 0; k + 1 < name.size(); ++k) {
        name[k] = static_cast<std::uint8_t>((stored[k] >> 3) | ((stored[k + 1] & 7) << 5));
    }
    const std::uint8_t last = stored[123];
    name[123] = static_cast<std::uint8_t>((last >> 3) | ((last & 7) << 5));
    return name;
}

}  // namespace quillet
