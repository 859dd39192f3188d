// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/device_time.h"
#include "device/input_stream.h"
#include "device/record_buffer.h"

namespace quillet {

// GARMIN_WPT.NVM: a 16-byte header, then length-framed records.
namespace waypoint_layout {
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kLatitude = 0;   // int32
inline constexpr std::size_t kLongitude = 4;  // int32
inline constexpr std::size_t kSymbol = 8;     // uint8
inline constexpr std::size_t kElevation = 9;  // uint16
inline constexpr std::size_t kName = 12;      // 124 bytes, shifted by three bits
inline constexpr std::size_t kNameSize = 124;
inline constexpr std::size_t kCategories = 136;      // two bytes, category 1 = bit 7 of the first
inline constexpr std::size_t kTime = 138;            // uint32
inline constexpr std::size_t kEncodingMarker = 162;  // 48 EF FF FF: the name is UTF-8
inline constexpr std::size_t kBodySize = 166;        // bytes a full record body interprets

inline constexpr double kLatitudeFactor = 8.381903126185339e-08;
inline constexpr double kLongitudeFactor = 8.38190332599264e-08;
inline constexpr int kElevationOffset = 6241;
inline constexpr double kElevationFactor = 0.2403216936;
inline constexpr std::uint16_t kNoElevation = 0xFFFF;
inline constexpr std::uint32_t kTimeOffset = 326910;
inline constexpr std::array<std::uint8_t, 4> kUtf8Marker{0x48, 0xEF, 0xFF, 0xFF};
}  // namespace waypoint_layout

struct WaypointFileHeader {
    std::uint16_t version = 0;
    std::uint32_t accessCount = 0;
    std::uint32_t recordCount = 0;
};

struct WaypointRecord {
    double latitude = 0;
    double longitude = 0;
    std::uint8_t symbol = 0;
    std::optional<int> elevation;  // whole metres; absent for the code 0xFFFF
    std::string name;              // 0 to 124 bytes
    bool nameIsUtf8 = false;
    std::bitset<17> categories;  // categories[n] for n = 1..16; bit 0 unused
    DeviceTime time = 0;
};

// Five reads: version, 2 bytes into the buffer, access count, 4 bytes into the buffer,
// record count. Fields the file does not supply are 0.
WaypointFileHeader readWaypointHeader(InputStream& stream, RecordBuffer& buffer);

// Decodes the fields at their fixed body offsets from whatever the buffer holds.
WaypointRecord decodeWaypoint(const RecordBuffer& buffer);
// The same into `record`, whose name keeps its memory from one record to the next.
void decodeWaypoint(const RecordBuffer& buffer, WaypointRecord& record);

// The 124 stored name bytes -> the 124 unpacked bytes.
std::array<std::uint8_t, 124> unpackName(std::span<const std::uint8_t, 124> stored);

// The records that the file still holds, read from the current position: up to `count`
// records while the file holds bytes of them, the last one possibly in part. Each is
// read into the buffer and visit(n, read) is called with its 1-based number and what the
// read delivered; the walk stops early when visit returns false. Returns how many records
// were read; the file ended early when that is fewer than `count` or when the stream is
// at its end afterwards.
template <typename Visit>
std::uint32_t forEachHeldRecord(InputStream& stream, RecordBuffer& buffer, std::uint32_t count,
                                Visit&& visit) {
    std::uint32_t n = 0;
    while (n < count && stream.remaining() > 0) {
        const RecordRead read = readRecord(stream, buffer);
        if (!visit(++n, read) || atEndOfFile(stream)) {
            break;
        }
    }
    return n;
}

}  // namespace quillet
