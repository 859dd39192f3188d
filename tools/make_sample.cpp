// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-sample DIR: writes a realistic device folder (waypoints, saved tracks and an
// active track around Lake Pleshcheyevo and the town of Pereslavl) into DIR. The output
// is the same on every run.

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "device/code_page.h"
#include "encoder/device_encoder.h"

namespace {

namespace enc = quillet::encoder;

struct SampleWaypoint {
    const char* name;  // UTF-8
    bool storeAsUtf8;  // otherwise stored in the device code page
    std::uint8_t symbol;
    double latitude;
    double longitude;
    std::optional<int> elevation;
    std::uint16_t categoryBits;  // bit 15 = category 1
    int month, day, hour, minute, second;
};

constexpr std::uint16_t category(int n) {
    return static_cast<std::uint16_t>(1u << (16 - n));
}

const SampleWaypoint kWaypoints[] = {
    {"Спасо-Преображенский собор", false, 15, 56.7369134, 38.8537021, 141, category(1), 5, 13, 10,
     24, 16},
    {"Горицкий монастырь", false, 51, 56.7212287, 38.8680125, 152, category(1) | category(3), 5, 13,
     12, 3, 40},
    {"Синий камень", false, 65, 56.7845105, 38.7353018, 139, category(3), 6, 17, 15, 41, 8},
    {"Ботик Петра I", true, 51, 56.7136092, 38.7735016, 146, category(1) | category(2), 6, 18, 11,
     7, 56},
    {"Никитский монастырь", true, 15, 56.7597045, 38.8819087, 158, category(1), 7, 2, 9, 30, 0},
    {"Родник №3", false, 25, 56.7430971, 38.8245193, 137, category(4), 7, 2, 13, 14, 48},
    {"Ҫырма", false, 84, 56.8012043, 38.8012311, 162, 0, 7, 22, 17, 55, 32},
    {"Parking", false, 54, 56.7381022, 38.8462903, 143, 0, 5, 13, 9, 58, 0},
    {"Camp site Veslevo", false, 11, 56.8193114, 38.7498872, 140, category(2) | category(16), 8, 4,
     19, 2, 24},
    {"Boat rental", false, 8, 56.7397015, 38.8398124, 136, category(2), 8, 5, 10, 45, 12},
    {"Viewpoint", false, 85, 56.7263411, 38.7712009, std::nullopt, category(3), 9, 9, 16, 20, 0},
    {"Клещин", true, 55, 56.7758134, 38.6985006, 171, category(1) | category(3), 9, 10, 12, 0, 40},
    {"Fishing spot", false, 28, 56.8047812, 38.8278136, 136, category(2), 10, 1, 6, 15, 4},
};

enc::Bytes waypointFile() {
    enc::WaypointFile file{.accessCount = 42};
    for (const auto& w : kWaypoints) {
        enc::WaypointFields fields{
            .latitudeCode = enc::waypointLatitudeCode(w.latitude),
            .longitudeCode = enc::waypointLongitudeCode(w.longitude),
            .symbol = w.symbol,
            .elevationCode =
                w.elevation ? enc::waypointElevationCode(*w.elevation) : std::uint16_t{0xFFFF},
            .name = w.storeAsUtf8 ? std::string(w.name) : quillet::utf8ToDeviceText(w.name),
            .nameIsUtf8 = w.storeAsUtf8,
            .categoryBits = w.categoryBits,
            .timeWord = enc::waypointTimeWord(
                enc::deviceTimeOf(2023, w.month, w.day, w.hour, w.minute, w.second)),
        };
        file.bodies.push_back(enc::encodeWaypointBody(fields));
    }
    return enc::encodeWaypointFile(file);
}

// A closed loop around a centre: an ellipse with gentle bends, walked counter-clockwise
// from its southern end, with a smooth rise and fall of the ground.
struct Loop {
    double centreLatitude;
    double centreLongitude;
    double northSouthMetres;
    double eastWestMetres;
    double groundMetres;
    double hillMetres;
};

struct Fix {
    double latitude;
    double longitude;
    int elevation;
};

Fix pointOnLoop(const Loop& loop, double fraction) {
    constexpr double kMetresPerDegree = 111320.0;
    const double angle = 2 * std::numbers::pi * fraction - std::numbers::pi / 2;
    const double bend = 1 + 0.06 * std::sin(5 * angle) + 0.03 * std::cos(11 * angle);
    const double north = loop.northSouthMetres * bend * std::sin(angle);
    const double east = loop.eastWestMetres * bend * std::cos(angle);
    const double metresPerLongitude =
        kMetresPerDegree * std::cos(loop.centreLatitude * std::numbers::pi / 180);
    return {loop.centreLatitude + north / kMetresPerDegree,
            loop.centreLongitude + east / metresPerLongitude,
            static_cast<int>(
                std::lround(loop.groundMetres + loop.hillMetres * (1 - std::cos(angle * 2)) / 2))};
}

std::vector<enc::PointFields> trackPoints(const Loop& loop, int count, double part,
                                          bool activeTrack, std::uint32_t start, int secondsApart) {
    std::vector<enc::PointFields> points;
    std::uint32_t time = start;
    for (int i = 0; i < count; ++i) {
        const Fix fix = pointOnLoop(loop, part * i / (count - 1));
        points.push_back({.latitudeCode = enc::trackLatitudeCode(fix.latitude, activeTrack),
                          .longitudeCode = enc::trackLongitudeCode(fix.longitude),
                          .elevationCode = enc::trackElevationCode(fix.elevation, activeTrack),
                          .timeField = enc::trackTimeField(time)});
        time += static_cast<std::uint32_t>(secondsApart + i % 3);  // the receiver's own rhythm
    }
    return points;
}

const Loop kLake{56.7700, 38.7650, 4800, 3300, 138, 14};
const Loop kTown{56.7365, 38.8520, 620, 520, 140, 22};
const Loop kShore{56.7420, 38.8290, 900, 380, 136, 6};

enc::Bytes savedTracksFile() {
    enc::SavedTracksFile file;
    file.tracks.push_back({.name = quillet::utf8ToDeviceText("Вокруг озера"),
                           .colour = 12,
                           .points = trackPoints(kLake, 150, 1.0, false,
                                                 enc::deviceTimeOf(2023, 6, 17, 7, 5, 12), 60)});
    file.tracks.push_back({.name = "Morning walk",
                           .colour = 2,
                           .points = trackPoints(kShore, 45, 0.5, false,
                                                 enc::deviceTimeOf(2023, 7, 2, 6, 40, 0), 20)});
    file.tracks.push_back({.name = quillet::utf8ToDeviceText("Пустой"), .colour = 9});
    return enc::encodeSavedTracksFile(file);
}

enc::Bytes activeTrackFile() {
    enc::ActiveTrackFile file;
    file.points = trackPoints(kTown, 320, 1.0, true, enc::deviceTimeOf(2023, 9, 9, 14, 2, 30), 9);
    return enc::encodeActiveTrackFile(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillet-sample DIR\n");
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        enc::writeFile(folder / "GARMIN_WPT.NVM", waypointFile());
        enc::writeFile(folder / "GARMIN_STRK.NVM", savedTracksFile());
        enc::writeFile(folder / "GARMIN_ATRK.NVM", activeTrackFile());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quillet-sample: %s\n", error.what());
        return 1;
    }
    return 0;
}
