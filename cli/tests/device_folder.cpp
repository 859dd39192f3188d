// SPDX-License-Identifier: GPL-3.0-or-later
#include "device_folder.h"

#include "app/app_state.h"

namespace quillet::testing {

namespace {

encoder::PointFields trackPoint(int index, bool activeTrack) {
    return encoder::PointFields{
        .latitudeCode = encoder::trackLatitudeCode(45.0 + 0.001 * index, activeTrack),
        .longitudeCode = encoder::trackLongitudeCode(8.0 + 0.002 * index),
        .elevationCode = encoder::trackElevationCode(300 + index, activeTrack),
        .timeField = encoder::trackTimeField(encoder::deviceTimeOf(2010, 6, 29, 14, 3, 7) +
                                             60 * static_cast<unsigned>(index)),
    };
}

}  // namespace

encoder::WaypointFields waypoint(const std::string& name, std::uint8_t symbol,
                                 std::uint16_t categoryBits) {
    static int serial = 0;
    ++serial;
    return encoder::WaypointFields{
        .latitudeCode = encoder::waypointLatitudeCode(46.5 + 0.01 * serial),
        .longitudeCode = encoder::waypointLongitudeCode(7.25 - 0.01 * serial),
        .symbol = symbol,
        .elevationCode = encoder::waypointElevationCode(1200 + serial),
        .name = name,
        .categoryBits = categoryBits,
        .timeWord = encoder::waypointTimeWord(encoder::deviceTimeOf(2011, 3, 4, 5, 6, 7)),
    };
}

void writeWaypointFile(const TempDir& folder, const std::vector<encoder::WaypointFields>& points,
                       std::uint16_t version) {
    encoder::WaypointFile file;
    file.version = version;
    file.accessCount = 7;
    for (const auto& point : points) {
        file.bodies.push_back(encoder::encodeWaypointBody(point));
    }
    encoder::writeFile(folder / kWaypointFileName, encoder::encodeWaypointFile(file));
}

void writeTrackFiles(const TempDir& folder, const std::vector<std::string>& savedNames,
                     bool withActiveTrack) {
    if (withActiveTrack) {
        encoder::ActiveTrackFile active;
        for (int i = 0; i < 3; ++i) {
            active.points.push_back(trackPoint(i, true));
        }
        encoder::writeFile(folder / kActiveTrackFileName, encoder::encodeActiveTrackFile(active));
    }
    encoder::SavedTracksFile saved;
    for (std::size_t n = 0; n < savedNames.size(); ++n) {
        encoder::SavedTrack track{.name = savedNames[n], .colour = 1};
        for (std::size_t i = 0; i <= n; ++i) {
            track.points.push_back(trackPoint(static_cast<int>(10 * n + i), false));
        }
        saved.tracks.push_back(track);
    }
    encoder::writeFile(folder / kSavedTracksFileName, encoder::encodeSavedTracksFile(saved));
}

void writeSampleWaypoints(const TempDir& folder) {
    writeWaypointFile(folder, {
                                  waypoint("Bravo", 18, 0x2001),
                                  waypoint("Alpha"),
                                  waypoint("Bravo", 85),
                                  waypoint("Alpha", 0, 0x8000),
                                  waypoint("Zulu & <Co>\xCC\xEE\xF1\xEA\xE2\xE0", 7),
                              });
}

void writeSampleTracks(const TempDir& folder) {
    writeTrackFiles(folder, {"Morning", "Evening", "Morning"});
}

}  // namespace quillet::testing
