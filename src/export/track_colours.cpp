// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/track_colours.h"

#include <array>

namespace quillet {

namespace {

// In the order of the display colour indices.
constexpr std::array<TrackColour, 16> kTrackColours = {{
    {"Black", 0, 0, 0},
    {"DarkRed", 139, 0, 0},
    {"DarkGreen", 0, 100, 0},
    {"DarkYellow", 128, 128, 0},
    {"DarkBlue", 0, 0, 139},
    {"DarkMagenta", 139, 0, 139},
    {"DarkCyan", 0, 139, 139},
    {"LightGray", 211, 211, 211},
    {"DarkGray", 105, 105, 105},
    {"Red", 255, 0, 0},
    {"Green", 0, 200, 0},
    {"Yellow", 255, 255, 0},
    {"Blue", 0, 0, 255},
    {"Magenta", 255, 0, 255},
    {"Cyan", 0, 255, 255},
    {"White", 255, 255, 255},
}};

}  // namespace

const TrackColour& trackColourOf(std::uint8_t index) {
    return index < kTrackColours.size() ? kTrackColours[index] : kTrackColours[0];
}

}  // namespace quillet
