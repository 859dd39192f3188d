// SPDX-License-Identifier: GPL-3.0-or-later
#include "encoder/reference_folders.h"

#include <cstdint>

#include "device/track_files.h"

namespace quillet::encoder {

namespace {

struct Waypoint {
    std::string name;
    bool utf8 = false;
    double latitude = 0;
    double longitude = 0;
    std::uint8_t symbol = 0;
    std::optional<int> elevation;
    std::uint16_t categoryBits = 0;
    std::uint32_t time = 0;  // device time
};

Bytes waypointBody(const Waypoint& w) {
    return encodeWaypointBody(WaypointFields{
        .latitudeCode = waypointLatitudeCode(w.latitude),
        .longitudeCode = waypointLongitudeCode(w.longitude),
        .symbol = w.symbol,
        .elevationCode = w.elevation ? waypointElevationCode(*w.elevation) : std::uint16_t{0xFFFF},
        .name = w.name,
        .nameIsUtf8 = w.utf8,
        .categoryBits = w.categoryBits,
        .timeWord = waypointTimeWord(w.time),
    });
}

// A point of a track walked at a steady pace from a start, `step` seconds apart.
struct Walk {
    double latitude = 0;
    double longitude = 0;
    int elevation = 0;
    std::uint32_t start = 0;  // device time of the first point
    std::uint32_t step = 10;
};

std::vector<PointFields> walkPoints(const Walk& walk, int count, bool activeTrack) {
    std::vector<PointFields> points;
    for (int i = 0; i < count; ++i) {
        points.push_back(PointFields{
            .latitudeCode = trackLatitudeCode(walk.latitude + 0.0001 * i, activeTrack),
            .longitudeCode = trackLongitudeCode(walk.longitude + 0.0002 * i),
            .elevationCode = trackElevationCode(walk.elevation + i, activeTrack),
            .timeField = trackTimeField(walk.start + walk.step * static_cast<std::uint32_t>(i)),
            .bit97 = (i % 3) == 0,
        });
    }
    return points;
}

// Names in the device code page.
const std::string kMoscow = "\xCC\xEE\xF1\xEA\xE2\xE0";                  // Moscow
const std::string kEmpty = "\xCF\xF3\xF1\xF2\xEE\xE9";                   // "empty"
const std::string kRiverBank = "\xC1\xE5\xF0\xE5\xE3 \xF0\xE5\xEA\xE8";  // river bank
// UTF-8 names, stored with the marker.
const std::string kBridgeUtf8 = "\xD0\x9C\xD0\xBE\xD1\x81\xD1\x82";  // "bridge"
const std::string kCafeUtf8 = "Caf\xC3\xA9";                         // é has no device byte

SavedTrack savedTrack(std::string name, std::uint8_t colour, std::vector<PointFields> points) {
    SavedTrack track;
    track.name = std::move(name);
    track.colour = colour;
    track.points = std::move(points);
    return track;
}

ReferenceFolder basicFolder() {
    constexpr std::optional<int> kNoElevation;
    // name, UTF-8 marker, latitude, longitude, symbol, elevation, categories, time
    const Waypoint waypoints[] = {
        {"Home", false, 55.7558, 37.6173, 38, 150, 0x8000, deviceTimeOf(2023, 6, 15, 8, 30, 5)},
        {kMoscow, false, 55.7522, 37.6156, 84, kNoElevation, 0x0001,
         deviceTimeOf(2010, 1, 1, 0, 0, 0)},
        {kBridgeUtf8, true, -33.8688, -151.2093, 10, -12, 0x8001,
         deviceTimeOf(2008, 2, 29, 12, 0, 0)},
        {kCafeUtf8, true, 0, 0, 85, 0, 0, deviceTimeOf(2007, 1, 4, 18, 48, 30)},
        {"Summit & <peak>", false, 27.9881, 86.925, 55, 8848, 0x4002,
         deviceTimeOf(2024, 1, 9, 13, 37, 1)},
        {"Pier\t7", false, 59.9343, 30.3351, 127, -1499, 0, deviceTimeOf(2015, 7, 1, 23, 59, 59)},
    };
    WaypointFile wpt;
    wpt.accessCount = 17;
    for (const Waypoint& w : waypoints) {
        wpt.bodies.push_back(waypointBody(w));
    }

    const std::uint32_t morning = deviceTimeOf(2023, 6, 15, 9, 0, 0);
    ActiveTrackFile atrk;
    atrk.points = walkPoints({55.75, 37.61, 140, morning, 10}, 3, true);

    SavedTracksFile strk;
    strk.tracks = {
        savedTrack("Morning walk", 1, walkPoints({55.7, 37.5, 130, morning, 15}, 10, false)),
        savedTrack(kEmpty, 2, {}),
        savedTrack(kRiverBank, 3,
                   walkPoints({59.9, 30.3, 5, deviceTimeOf(2012, 2, 29, 12, 0, 0), 10}, 1, false)),
    };

    return {"basic",
            {{"GARMIN_WPT.NVM", encodeWaypointFile(wpt)},
             {"GARMIN_ATRK.NVM", encodeActiveTrackFile(atrk)},
             {"GARMIN_STRK.NVM", encodeSavedTracksFile(strk)}}};
}

ReferenceFolder truncatedFolder() {
    // Five waypoints counted, two held whole, the third cut off inside its body: its row
    // shows its first bytes and the rest (categories, time) of the second record.
    WaypointFile wpt;
    wpt.accessCount = 0xFFFFFFFF;
    wpt.recordCount = 5;
    wpt.bodies = {
        waypointBody({"First", false, 10.5, 20.25, 0, 100, 0, deviceTimeOf(2020, 5, 1, 10, 0, 0)}),
        waypointBody(
            {"Second", false, 11.5, 21.25, 126, 200, 0x00FF, deviceTimeOf(2020, 5, 2, 11, 0, 0)}),
        waypointBody({"Third", false, 12.5, 22.25, 83, std::nullopt, 0xFF00,
                      deviceTimeOf(2020, 5, 3, 12, 0, 0)}),
    };
    Bytes wptBytes = encodeWaypointFile(wpt);
    wptBytes.resize(wptBytes.size() - 100);  // the third body keeps 66 of its 166 bytes

    // Ten points counted, four held whole and the fifth only as far as its elevation.
    const std::uint32_t noon = deviceTimeOf(2021, 8, 20, 12, 0, 0);
    ActiveTrackFile atrk;
    atrk.pointCount = 10;
    atrk.points = walkPoints({45.0, 7.0, 300, noon, 10}, 5, true);
    Bytes atrkBytes = encodeActiveTrackFile(atrk);
    atrkBytes.resize(atrkBytes.size() - 4);

    // Three tracks counted; the second claims 20 points and the file ends after ten.
    SavedTracksFile strk;
    strk.trackCount = 3;
    strk.tracks = {
        savedTrack("Complete", 0, walkPoints({46.0, 8.0, 400, noon, 10}, 3, false)),
        savedTrack("Cut short", 0, walkPoints({47.0, 9.0, 500, noon + 3600, 10}, 20, false)),
    };
    Bytes strkBytes = encodeSavedTracksFile(strk);
    strkBytes.resize(strkBytes.size() - (packedSize(20) - packedSize(10)));

    return {"truncated",
            {{"GARMIN_WPT.NVM", std::move(wptBytes)},
             {"GARMIN_ATRK.NVM", std::move(atrkBytes)},
             {"GARMIN_STRK.NVM", std::move(strkBytes)}}};
}

ReferenceFolder tracksOnlyFolder() {
    // An active track whose header counts no point: the record after it is never read.
    ActiveTrackFile atrk;
    atrk.pointCount = 0;
    atrk.points = walkPoints({50.0, 10.0, 0, deviceTimeOf(2019, 3, 3, 3, 3, 3), 10}, 1, true);

    const std::uint32_t start = deviceTimeOf(2016, 12, 31, 23, 0, 0);
    SavedTracksFile strk;
    const int pointCounts[] = {1, 0, 2, 7, 8, 9, 16, 17, 3, 4, 5, 40};
    std::uint32_t number = 1;
    for (const int count : pointCounts) {
        const Walk walk{40.0 + number, 20.0 + number, 10 * static_cast<int>(number),
                        start + 86400u * number, 10};
        strk.tracks.push_back(savedTrack("Track " + std::to_string(number),
                                         static_cast<std::uint8_t>(number % 16),
                                         walkPoints(walk, count, false)));
        ++number;
    }
    // A 29-byte name with no zero byte; a time before 2007, which has no calendar text,
    // and one in 2025, which has.
    strk.tracks[3].name = "A name of twenty-nine bytes!!";
    strk.tracks[2].points.front().timeField = 5;                         // before 2007
    strk.tracks[2].points.back().timeField = trackTimeField(568080000);  // 2025

    return {"tracks-only",
            {{"GARMIN_ATRK.NVM", encodeActiveTrackFile(atrk)},
             {"GARMIN_STRK.NVM", encodeSavedTracksFile(strk)}}};
}

}  // namespace

std::vector<ReferenceFolder> referenceFolders() {
    return {basicFolder(), truncatedFolder(), tracksOnlyFolder()};
}

void writeReferenceFolder(const std::filesystem::path& directory, const ReferenceFolder& folder) {
    const std::filesystem::path path = directory / folder.name;
    std::filesystem::create_directories(path);
    for (const ReferenceFile& file : folder.files) {
        writeFile(path / file.name, file.bytes);
    }
}

}  // namespace quillet::encoder
