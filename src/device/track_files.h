// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "device/device_time.h"
#include "device/input_stream.h"
#include "device/record_buffer.h"

namespace quillet {

namespace track_layout {
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kTrackHeaderSize = 54;
inline constexpr std::size_t kTrackNameSize = 29;
inline constexpr std::size_t kAlignedPointSize = 12;
inline constexpr std::size_t kGroupSize = 97;  // eight points of 97 bits

inline constexpr double kActiveLatitudeFactor = 1.0728836699058814e-05;  // 180 / 16777215
inline constexpr double kLongitudeFactor = 2.1457673398117627e-05;       // 360 / 16777215
inline constexpr double kSavedLatitudeFactor = 2.1457673398117627e-05;
inline constexpr int kActiveElevationOffset = 3120;
inline constexpr int kSavedElevationOffset = 6240;
inline constexpr double kElevationFactor = 0.2403216936;
inline constexpr std::uint32_t kTimeOffset = 536544002;
}  // namespace track_layout

// Bytes that P packed points take: 97 per full group of eight, then 0, 12 (one point)
// or 12 * r + 1 (r = 2..7) for the last partial group.
std::uint64_t packedSize(std::uint32_t pointCount);

struct TrackHeader {
    std::uint16_t length = 0;  // bytes of the record after the length word
    std::uint16_t pointCount = 0;
    std::string name;  // 0 to 29 bytes, device code page
    std::uint8_t colour = 0;
};

struct TrackPoint {
    double latitude = 0;
    double longitude = 0;
    int elevation = 0;
    DeviceTime time = 0;
};

struct ActiveTrackHeader {
    std::uint16_t version = 0;
    std::uint32_t pointCount = 0;
};

// Decodes a 12-byte active-track body / an aligned saved-track point.
TrackPoint decodeActivePoint(std::span<const std::uint8_t, 12> body);
TrackPoint decodeSavedPoint(std::span<const std::uint8_t, 12> aligned);

// Reads the points of one saved track, 97 bits each, eight to a group.
class PointUnpacker {
public:
    // Reads the next point's bytes from the stream and returns its 12-byte aligned form.
    std::array<std::uint8_t, 12> next(InputStream& stream);

private:
    int slot_ = 0;
    std::array<std::uint8_t, 13> window_{};
    std::uint8_t carried_ = 0;
};

// GARMIN_ATRK.NVM: header, then one length-framed record per point, read into the
// shared record buffer.
class ActiveTrackReader {
public:
    ActiveTrackReader(InputStream& stream, RecordBuffer& buffer)
        : stream_(stream), buffer_(buffer) {}

    ActiveTrackHeader readHeader();
    TrackPoint readPoint();
    bool atEndOfFile() const { return stream_.atEnd(); }
    std::uint64_t remaining() const { return stream_.remaining(); }

private:
    InputStream& stream_;
    RecordBuffer& buffer_;
};

// GARMIN_STRK.NVM: header, then per track a 54-byte header and its packed points.
class SavedTrackReader {
public:
    SavedTrackReader(InputStream& stream, RecordBuffer& buffer)
        : stream_(stream), buffer_(buffer) {}

    std::uint32_t readHeader();
    // Reads the next track header and starts a new point group. Fields the file no
    // longer supplies keep what the previous header read left in them.
    TrackHeader readTrackHeader();
    TrackPoint readPoint();
    // Moves past the points of the current track that have not been read, without
    // decoding them (the track's size follows from its point count).
    void skipRemainingPoints();
    bool atEndOfFile() const { return stream_.atEnd(); }
    std::uint64_t remaining() const { return stream_.remaining(); }

private:
    InputStream& stream_;
    RecordBuffer& buffer_;
    TrackHeader header_;
    std::array<std::uint8_t, 29> nameField_{};
    PointUnpacker unpacker_;
    std::uint32_t pointsRead_ = 0;
};

// The points of a track that the file still holds, read from the current position: up
// to `count` points, each only when the file holds it whole (a point that the file ends
// inside is not there). Calls visit(point) for each in file order, as long as it
// returns true, and returns how many points it visited. The list and the export both
// read a track's points through this, so that they always agree on them.
template <typename Reader, typename Visit>
std::uint32_t forEachHeldPoint(Reader& reader, std::uint32_t count, Visit&& visit) {
    std::uint32_t held = 0;
    while (held < count && reader.remaining() > 0) {
        const auto point = reader.readPoint();
        if (reader.atEndOfFile()) {
            break;
        }
        ++held;
        if (!visit(point)) {
            break;
        }
    }
    return held;
}

}  // namespace quillet
