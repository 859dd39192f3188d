// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace quillet {

// A saved track's display colour: its name in GPX Extensions v3 and the colour it is
// drawn in.
struct TrackColour {
    std::string_view name;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// The colour of a display colour index; black beyond the sixteen the device knows.
const TrackColour& trackColourOf(std::uint8_t index);

}  // namespace quillet
