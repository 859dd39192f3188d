// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writes the three device files from field values: the exact inverse of the decoders.
// Tests, benchmarks, fuzz seeds and the sample tool build their files with it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::encoder {

using Bytes = std::vector<std::uint8_t>;

// ---- Value -> code conversions (the nearest code; decoding it gives back the value
// to within the format's resolution).
std::int32_t waypointLatitudeCode(double degrees);
std::int32_t waypointLongitudeCode(double degrees);
std::uint16_t waypointElevationCode(int metres);           // offset 6241
std::uint32_t waypointTimeWord(std::uint32_t deviceTime);  // inverse of (word >> 3) + 326910
std::uint32_t trackLatitudeCode(double degrees, bool activeTrack);  // 24-bit
std::uint32_t trackLongitudeCode(double degrees);                   // 24-bit
std::uint16_t trackElevationCode(int metres, bool activeTrack);     // offset 3120 / 6240
std::uint32_t trackTimeField(std::uint32_t deviceTime);             // + 536544002
// Seconds since 2007-01-01 00:00:00 of a UTC calendar instant (2007 on).
std::uint32_t deviceTimeOf(int year, int month, int day, int hour, int minute, int second);

// ---- Waypoint file
struct WaypointFields {
    std::int32_t latitudeCode = 0;
    std::int32_t longitudeCode = 0;
    std::uint8_t symbol = 0;
    std::uint16_t elevationCode = 0xFFFF;  // 0xFFFF: no elevation
    std::string name{};                    // unpacked name bytes (at most 124)
    bool nameIsUtf8 = false;               // writes the marker 48 EF FF FF
    std::uint16_t categoryBits = 0;        // bit 15 = category 1 ... bit 0 = category 16
    std::uint32_t timeWord = 0;
};

// The 124 stored bytes whose unpacking gives `name` padded with zeros. Bits 0 to 2 of
// the first stored byte are free and written as `lowBits`. Names of up to 122 bytes
// always round-trip. The last stored byte is rotated within itself to give unpacked
// byte 123, and its low three bits are also the top three bits of unpacked byte 122, so
// a name of 123 or 124 bytes is representable only when those two bytes (the padding
// zero for a 123-byte name) share their top three bits; any other name, or one longer
// than 124 bytes, throws std::invalid_argument rather than being stored altered. The
// decoder stops at the first zero byte, so a name with an embedded zero reads back as
// the part before it.
std::array<std::uint8_t, 124> packName(std::string_view name, std::uint8_t lowBits = 0);

// A 166-byte record body.
Bytes encodeWaypointBody(const WaypointFields& fields);

struct WaypointFile {
    std::uint16_t version = 5;
    std::array<std::uint8_t, 2> reserved2{};  // header bytes 2..3
    std::uint32_t accessCount = 0;
    std::array<std::uint8_t, 4> reserved8{};     // header bytes 8..11
    std::optional<std::uint32_t> recordCount{};  // default: bodies.size()
    std::vector<Bytes> bodies{};                 // each framed with its 16-bit length
};

Bytes encodeWaypointFile(const WaypointFile& file);

// ---- Track files
struct PointFields {
    std::uint32_t latitudeCode = 0;   // 24-bit
    std::uint32_t longitudeCode = 0;  // 24-bit
    std::uint16_t elevationCode = 0;
    std::uint32_t timeField = 0;
    bool bit97 = false;  // the uninterpreted 97th bit of a packed saved point
};

// A 12-byte active-track body / aligned saved point.
Bytes encodeActivePointBody(const PointFields& point);
std::array<std::uint8_t, 12> encodeAlignedSavedPoint(const PointFields& point);

struct ActiveTrackFile {
    std::uint16_t version = 5;
    std::array<std::uint8_t, 10> reserved{};    // header bytes 2..11
    std::optional<std::uint32_t> pointCount{};  // default: points.size()
    std::vector<PointFields> points{};          // each a 12-byte record body
};

Bytes encodeActiveTrackFile(const ActiveTrackFile& file);

// The packed points of one saved track, 97 bits each, eight to a group.
Bytes packPoints(const std::vector<PointFields>& points);

struct SavedTrack {
    std::string name{};  // device code page, at most 29 bytes (zero-padded)
    std::uint8_t colour = 0;
    std::vector<PointFields> points{};
    std::optional<std::uint16_t> pointCount{};  // default: points.size()
    std::optional<std::uint16_t> length{};      // default: 52 + packed size
};

struct SavedTracksFile {
    std::array<std::uint8_t, 12> header{5};     // first byte: version
    std::optional<std::uint32_t> trackCount{};  // default: tracks.size()
    std::vector<SavedTrack> tracks{};
};

Bytes encodeSavedTrack(const SavedTrack& track);  // one record, from its length word on
Bytes encodeSavedTracksFile(const SavedTracksFile& file);

// ---- Folders
void writeFile(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace quillet::encoder
