// SPDX-License-Identifier: GPL-3.0-or-later
// quillet_fuzz_seeds DIR: writes the seed inputs of the fuzz targets into DIR, one file
// per case, each a device folder built from field values with the encoder and framed as
// fuzz_input.h describes. The output is the same on every run.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "encoder/device_encoder.h"
#include "fuzz_input.h"

namespace {

namespace enc = quillet::encoder;
using quillet::fuzz::Bytes;
using quillet::fuzz::FuzzCase;

enc::WaypointFields waypoint(const std::string& name, double lat, double lon, int day) {
    return enc::WaypointFields{
        .latitudeCode = enc::waypointLatitudeCode(lat),
        .longitudeCode = enc::waypointLongitudeCode(lon),
        .symbol = static_cast<std::uint8_t>(day * 7 % 128),
        .elevationCode = enc::waypointElevationCode(100 + day),
        .name = name,
        .categoryBits = static_cast<std::uint16_t>(0x8001u << (day % 8)),
        .timeWord = enc::waypointTimeWord(enc::deviceTimeOf(2010, 6, day, 14, 3, 7)),
    };
}

enc::PointFields point(int i, bool active) {
    return enc::PointFields{
        .latitudeCode = enc::trackLatitudeCode(55.0 + i * 0.001, active),
        .longitudeCode = enc::trackLongitudeCode(14.4 + i * 0.001),
        .elevationCode = enc::trackElevationCode(110 + i, active),
        .timeField = enc::trackTimeField(enc::deviceTimeOf(2007, 6, 29, 12, 12, i % 60)),
        .bit97 = i % 2 == 1,
    };
}

std::vector<enc::PointFields> points(int count, bool active) {
    std::vector<enc::PointFields> result;
    for (int i = 0; i < count; ++i) {
        result.push_back(point(i, active));
    }
    return result;
}

Bytes waypointFile(std::vector<Bytes> bodies, std::optional<std::uint32_t> count = {}) {
    return enc::encodeWaypointFile({.accessCount = 42, .recordCount = count, .bodies = bodies});
}

Bytes threeWaypoints() {
    auto utf8 = waypoint("\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", 55.75, 37.62, 2);
    utf8.nameIsUtf8 = true;
    auto noElevation = waypoint("Spring", 56.7, 38.8, 3);
    noElevation.elevationCode = 0xFFFF;
    return waypointFile({enc::encodeWaypointBody(waypoint("Camp & <lake>", 56.74, 38.85, 1)),
                         enc::encodeWaypointBody(utf8), enc::encodeWaypointBody(noElevation)});
}

Bytes savedTracks(std::optional<std::uint32_t> count = {}) {
    enc::SavedTracksFile file;
    file.tracks.push_back({.name = "Morning", .colour = 9, .points = points(9, false)});
    file.tracks.push_back({.name = "\xCF\xF0\xE8\xE2\xE5\xF2", .colour = 15, .points = {}});
    file.tracks.push_back({.name = "One", .colour = 200, .points = points(1, false)});
    file.tracks.push_back({.name = "Seventeen", .colour = 3, .points = points(17, false)});
    file.trackCount = count;
    return enc::encodeSavedTracksFile(file);
}

Bytes activeTrack(int count, std::optional<std::uint32_t> header = {}) {
    return enc::encodeActiveTrackFile({.pointCount = header, .points = points(count, true)});
}

struct Seed {
    const char* name;
    FuzzCase fuzzCase;
};

std::vector<Seed> seeds() {
    std::vector<Seed> all;
    const auto add = [&](const char* name, FuzzCase c) { all.push_back({name, std::move(c)}); };

    add("full-folder", {threeWaypoints(), savedTracks(), activeTrack(5), 0x00, 0x05});
    add("full-folder-tracks-view", {threeWaypoints(), savedTracks(), activeTrack(5), 0x80, 0x0A});
    add("tracks-select-active", {{}, savedTracks(), activeTrack(3), 0x80, 0x01});
    add("sorted-by-name", {threeWaypoints(), {}, {}, 0x22, 0x06});
    add("sorted-descending", {{}, savedTracks(), activeTrack(2), 0xE4, 0x1E});
    add("waypoints-empty", {waypointFile({}), {}, {}, 0x00, 0x01});
    add("waypoints-count-beyond-file",
        {waypointFile({enc::encodeWaypointBody(waypoint("A", 1, 2, 1)),
                       enc::encodeWaypointBody(waypoint("B", 3, 4, 2))},
                      5),
         {},
         {},
         0x00,
         0x01});
    add("waypoints-huge-count",
        {waypointFile({enc::encodeWaypointBody(waypoint("C", 5, 6, 3))}, 0xFFFFFFFF),
         {},
         {},
         0x00,
         0x01});
    {
        Bytes longBody = enc::encodeWaypointBody(waypoint("Long", 10, 20, 4));
        longBody.resize(1200, 0x5A);
        Bytes shortBody(12, 0x11);
        add("waypoints-long-and-short-records",
            {waypointFile(
                 {longBody, enc::encodeWaypointBody(waypoint("After", 11, 21, 5)), shortBody}),
             {},
             {},
             0x00,
             0x02});
    }
    add("waypoints-range-edges",
        {waypointFile({enc::encodeWaypointBody(waypoint("North", 90, -180, 6)),
                       enc::encodeWaypointBody(waypoint("South", -90, 179.9999999, 7))}),
         {},
         {},
         0x00,
         0x03});
    {
        auto names = waypoint(std::string("Tab\tline\nend\x01") + "\xB9\x8C\xFF", 1, 1, 8);
        auto utf8 = waypoint("\xE2\x82\xAC\x41\xC3\xA9\xD0", 2, 2, 9);
        utf8.nameIsUtf8 = true;
        add("waypoints-odd-names",
            {waypointFile({enc::encodeWaypointBody(names), enc::encodeWaypointBody(utf8)}),
             {},
             {},
             0x00,
             0x01});
    }
    add("waypoints-header-only", {Bytes{5, 0, 0, 0, 42, 0, 0, 0, 0, 0, 0, 0, 2}, {}, {}, 0, 1});
    add("active-huge-count", {{}, {}, activeTrack(2, 0xFFFFFFFF), 0x80, 0x00});
    add("active-empty", {{}, {}, activeTrack(0), 0x80, 0x00});
    {
        enc::SavedTracksFile file;
        file.tracks.push_back({.name = "Liar", .points = points(3, false), .length = 500});
        file.tracks.push_back({.name = "Next", .points = points(2, false)});
        add("tracks-length-word-disagrees", {{}, encodeSavedTracksFile(file), {}, 0x80, 0x02});
    }
    {
        enc::SavedTracksFile file;
        file.tracks.push_back(
            {.name = "Claims many", .points = points(2, false), .pointCount = 60000});
        add("tracks-point-count-beyond-file", {{}, encodeSavedTracksFile(file), {}, 0x80, 0x01});
    }
    add("tracks-count-beyond-file", {{}, savedTracks(9), {}, 0x80, 0x04});
    {
        Bytes cut = savedTracks();
        cut.resize(cut.size() - 30);
        add("tracks-cut-in-points", {{}, cut, activeTrack(1), 0x80, 0x08});
    }
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillet_fuzz_seeds DIR\n");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        for (const auto& seed : seeds()) {
            const Bytes bytes = quillet::fuzz::encodeFuzzInput(seed.fuzzCase);
            std::ofstream out(dir / seed.name, std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quillet_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
