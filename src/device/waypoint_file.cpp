// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/waypoint_file.h"

#include <algorithm>

#include "device/byte_order.h"

namespace quillet {

namespace wl = waypoint_layout;
using byte_order::loadLe16;
using byte_order::loadLe32;

WaypointFileHeader readWaypointHeader(InputStream& stream, RecordBuffer& buffer) {
    WaypointFileHeader header;
    header.version = byte_order::readLe<std::uint16_t>(stream);      // offset 0
    stream.read(std::span(buffer.bytes).first(2));                   // offset 2
    header.accessCount = byte_order::readLe<std::uint32_t>(stream);  // offset 4
    stream.read(std::span(buffer.bytes).first(4));                   // offset 8
    header.recordCount = byte_order::readLe<std::uint32_t>(stream);  // offset 12
    return header;
}

WaypointRecord decodeWaypoint(const RecordBuffer& buffer) {
    WaypointRecord record;
    decodeWaypoint(buffer, record);
    return record;
}

void decodeWaypoint(const RecordBuffer& buffer, WaypointRecord& record) {
    const std::uint8_t* body = buffer.bytes.data();

    const auto latitude = static_cast<std::int32_t>(loadLe32(body + wl::kLatitude));
    const auto longitude = static_cast<std::int32_t>(loadLe32(body + wl::kLongitude));
    record.latitude = static_cast<double>(latitude) * wl::kLatitudeFactor;
    record.longitude = static_cast<double>(longitude) * wl::kLongitudeFactor;

    record.symbol = body[wl::kSymbol];

    const std::uint16_t elevationCode = loadLe16(body + wl::kElevation);
    record.elevation.reset();
    if (elevationCode != wl::kNoElevation) {
        const int metres = static_cast<int>(elevationCode) - wl::kElevationOffset;
        record.elevation = static_cast<int>(static_cast<double>(metres) * wl::kElevationFactor);
    }

    const auto name =
        unpackName(std::span<const std::uint8_t, wl::kNameSize>(body + wl::kName, wl::kNameSize));
    const auto nameEnd = std::find(name.begin(), name.end(), std::uint8_t{0});
    record.name.assign(name.begin(), nameEnd);

    const unsigned categoryBits = (body[wl::kCategories] << 8) | body[wl::kCategories + 1];
    for (int n = 1; n <= 16; ++n) {
        record.categories[n] = ((categoryBits >> (16 - n)) & 1) != 0;
    }

    record.time = (loadLe32(body + wl::kTime) >> 3) + wl::kTimeOffset;

    record.nameIsUtf8 =
        std::equal(wl::kUtf8Marker.begin(), wl::kUtf8Marker.end(), body + wl::kEncodingMarker);
}

}  // namespace quillet
