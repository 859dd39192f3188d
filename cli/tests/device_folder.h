// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "encoder/device_encoder.h"
#include "support/temp_dir.h"

namespace quillet::testing {

// A waypoint named `name` (device code page bytes) with a position, an elevation, a
// time and the categories given as bits (bit 15 = category 1).
encoder::WaypointFields waypoint(const std::string& name, std::uint8_t symbol = 18,
                                 std::uint16_t categoryBits = 0);

// GARMIN_WPT.NVM with these waypoints in file order.
void writeWaypointFile(const TempDir& folder, const std::vector<encoder::WaypointFields>& points,
                       std::uint16_t version = 5);

// The names of the saved tracks; track n has n points.
void writeTrackFiles(const TempDir& folder, const std::vector<std::string>& savedNames,
                     bool withActiveTrack = true);

// Five waypoints, two pairs with equal names, one name with XML's special characters
// and one in Cyrillic: "Bravo", "Alpha", "Bravo", "Alpha", "Zulu & <Co>" / Cyrillic.
void writeSampleWaypoints(const TempDir& folder);
// The active track and the saved tracks "Morning", "Evening", "Morning".
void writeSampleTracks(const TempDir& folder);

}  // namespace quillet::testing
