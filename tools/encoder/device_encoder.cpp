// SPDX-License-Identifier: GPL-3.0-or-later
#include "encoder/device_encoder.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <span>
#include <stdexcept>

namespace quillet::encoder {
namespace {

constexpr double kWaypointLatitudeFactor = 8.381903126185339e-08;
constexpr double kWaypointLongitudeFactor = 8.38190332599264e-08;
constexpr double kActiveLatitudeFactor = 1.0728836699058814e-05;
constexpr double kTrackFactor = 2.1457673398117627e-05;  // saved latitude, every longitude
constexpr double kElevationFactor = 0.2403216936;
constexpr int kWaypointElevationOffset = 6241;
constexpr int kActiveElevationOffset = 3120;
constexpr int kSavedElevationOffset = 6240;
constexpr std::uint32_t kWaypointTimeOffset = 326910;
constexpr std::uint32_t kTrackTimeOffset = 536544002;
constexpr std::uint32_t kMax24 = 0xFFFFFF;
constexpr std::size_t kTrackNameSize = 29;

void putLe(Bytes& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

template <std::size_t N>
void storeLe(std::array<std::uint8_t, N>& out, std::size_t offset, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void append(Bytes& out, std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t b : bytes) {
        out.push_back(b);  // (a range insert trips a false array-bounds warning of g++ 12)
    }
}

// The nearest code within [lowest, highest].
std::int64_t nearestCode(double degrees, double factor, std::int64_t lowest, std::int64_t highest) {
    const double code = std::round(degrees / factor);
    if (!(code >= static_cast<double>(lowest))) {
        return lowest;
    }
    return std::min(static_cast<std::int64_t>(std::min(code, 1e18)), highest);
}

int decodeElevation(std::int64_t code, int offset) {
    return static_cast<int>(static_cast<double>(code - offset) * kElevationFactor);
}

// The code nearest to the exact quotient whose truncated decoding gives `metres`;
// metres outside the representable range give the nearest end of the range.
std::uint16_t elevationCode(int metres, int offset, std::int64_t highest) {
    const std::int64_t guess =
        offset + static_cast<std::int64_t>(std::llround(metres / kElevationFactor));
    for (std::int64_t distance = 0; distance <= 8; ++distance) {
        for (const std::int64_t code : {guess - distance, guess + distance}) {
            if (code >= 0 && code <= highest && decodeElevation(code, offset) == metres) {
                return static_cast<std::uint16_t>(code);
            }
        }
    }
    return static_cast<std::uint16_t>(metres < 0 ? 0 : highest);
}

}  // namespace

std::int32_t waypointLatitudeCode(double degrees) {
    return static_cast<std::int32_t>(nearestCode(degrees, kWaypointLatitudeFactor,
                                                 std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

std::int32_t waypointLongitudeCode(double degrees) {
    return static_cast<std::int32_t>(nearestCode(degrees, kWaypointLongitudeFactor,
                                                 std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

std::uint16_t waypointElevationCode(int metres) {
    return elevationCode(metres, kWaypointElevationOffset, 0xFFFE);  // 0xFFFF: none
}

std::uint32_t waypointTimeWord(std::uint32_t deviceTime) {
    const std::uint32_t steps =
        deviceTime < kWaypointTimeOffset ? 0 : deviceTime - kWaypointTimeOffset;
    return std::min<std::uint32_t>(steps, 0x1FFFFFFF) << 3;
}

std::uint32_t trackLatitudeCode(double degrees, bool activeTrack) {
    return static_cast<std::uint32_t>(
        nearestCode(degrees, activeTrack ? kActiveLatitudeFactor : kTrackFactor, 0, kMax24));
}

std::uint32_t trackLongitudeCode(double degrees) {
    return static_cast<std::uint32_t>(nearestCode(degrees, kTrackFactor, 0, kMax24));
}

std::uint16_t trackElevationCode(int metres, bool activeTrack) {
    return elevationCode(metres, activeTrack ? kActiveElevationOffset : kSavedElevationOffset,
                         0xFFFF);
}

std::uint32_t trackTimeField(std::uint32_t deviceTime) {
    return deviceTime + kTrackTimeOffset;
}

// Proleptic Gregorian day count, independent of the decoder's table of year lengths.
std::uint32_t deviceTimeOf(int year, int month, int day, int hour, int minute, int second) {
    const auto daysFromCivil = [](int y, int m, int d) {
        y -= m <= 2 ? 1 : 0;
        const int era = y / 400;
        const int yearOfEra = y - era * 400;
        const int dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return era * 146097 + dayOfEra;
    };
    const std::int64_t days = daysFromCivil(year, month, day) - daysFromCivil(2007, 1, 1);
    return static_cast<std::uint32_t>(days * 86400 + hour * 3600 + minute * 60 + second);
}

// The stored bytes hold the name as a bit stream that starts at bit 3 of stored byte 0.
// Stored byte 123 gives unpacked byte 123 by rotating within itself, and its low three
// bits are at the same time the top three bits of unpacked byte 122.
std::array<std::uint8_t, 124> packName(std::string_view name, std::uint8_t lowBits) {
    if (name.size() > 124) {
        throw std::invalid_argument("packName: a waypoint name holds at most 124 bytes");
    }
    std::array<std::uint8_t, 124> t{};
    std::copy(name.begin(), name.end(), t.begin());
    if ((t[122] >> 5) != (t[123] >> 5)) {
        throw std::invalid_argument(
            "packName: bytes 123 and 124 of a name must share their top three bits");
    }
    std::array<std::uint8_t, 124> s{};
    s[0] = static_cast<std::uint8_t>((t[0] << 3) | (lowBits & 7));
    for (std::size_t k = 1; k < 123; ++k) {
        s[k] = static_cast<std::uint8_t>((t[k] << 3) | (t[k - 1] >> 5));
    }
    s[123] = static_cast<std::uint8_t>((t[123] << 3) | (t[123] >> 5));
    return s;
}

Bytes encodeWaypointBody(const WaypointFields& fields) {
    std::array<std::uint8_t, 166> body{};
    storeLe(body, 0, static_cast<std::uint32_t>(fields.latitudeCode), 4);
    storeLe(body, 4, static_cast<std::uint32_t>(fields.longitudeCode), 4);
    body[8] = fields.symbol;
    storeLe(body, 9, fields.elevationCode, 2);
    const auto name = packName(fields.name);
    std::copy(name.begin(), name.end(), body.begin() + 12);
    body[136] = static_cast<std::uint8_t>(fields.categoryBits >> 8);
    body[137] = static_cast<std::uint8_t>(fields.categoryBits);
    storeLe(body, 138, fields.timeWord, 4);
    if (fields.nameIsUtf8) {
        const std::uint8_t marker[] = {0x48, 0xEF, 0xFF, 0xFF};
        std::copy(std::begin(marker), std::end(marker), body.begin() + 162);
    }
    return Bytes(body.begin(), body.end());
}

Bytes encodeWaypointFile(const WaypointFile& file) {
    Bytes out;
    putLe(out, file.version, 2);
    append(out, file.reserved2);
    putLe(out, file.accessCount, 4);
    append(out, file.reserved8);
    putLe(out, file.recordCount.value_or(static_cast<std::uint32_t>(file.bodies.size())), 4);
    for (const Bytes& body : file.bodies) {
        if (body.size() > 0xFFFF) {
            throw std::invalid_argument(
                "encodeWaypointFile: a record body holds at most 65535 bytes");
        }
        putLe(out, body.size(), 2);
        append(out, body);
    }
    return out;
}

Bytes encodeActivePointBody(const PointFields& point) {
    Bytes body;
    putLe(body, point.latitudeCode, 3);
    putLe(body, point.longitudeCode, 3);
    putLe(body, point.elevationCode, 2);
    putLe(body, point.timeField, 4);
    return body;
}

std::array<std::uint8_t, 12> encodeAlignedSavedPoint(const PointFields& point) {
    std::array<std::uint8_t, 12> aligned{};
    storeLe(aligned, 0, point.latitudeCode, 3);
    storeLe(aligned, 3, point.longitudeCode, 3);
    storeLe(aligned, 6, point.timeField, 4);
    storeLe(aligned, 10, point.elevationCode, 2);
    return aligned;
}

Bytes encodeActiveTrackFile(const ActiveTrackFile& file) {
    Bytes out;
    putLe(out, file.version, 2);
    append(out, file.reserved);
    putLe(out, file.pointCount.value_or(static_cast<std::uint32_t>(file.points.size())), 4);
    for (const PointFields& point : file.points) {
        const Bytes body = encodeActivePointBody(point);
        putLe(out, body.size(), 2);
        append(out, body);
    }
    return out;
}

// Each group of eight points is a bit stream: point k takes bits 97k to 97k + 96, its
// twelve aligned bytes first, then its uninterpreted 97th bit. A group of one point
// stores only its 12 aligned bytes, so that point's 97th bit is not kept.
Bytes packPoints(const std::vector<PointFields>& points) {
    Bytes out;
    for (std::size_t first = 0; first < points.size(); first += 8) {
        const std::size_t count = std::min<std::size_t>(8, points.size() - first);
        const std::size_t groupSize = count == 8 ? 97 : count == 1 ? 12 : 12 * count + 1;
        Bytes group(groupSize, 0);
        const auto setBit = [&](std::size_t bit) {
            if (bit / 8 < group.size()) {
                group[bit / 8] = static_cast<std::uint8_t>(group[bit / 8] | (1u << (bit % 8)));
            }
        };
        for (std::size_t k = 0; k < count; ++k) {
            const PointFields& point = points[first + k];
            const auto aligned = encodeAlignedSavedPoint(point);
            for (std::size_t bit = 0; bit < 96; ++bit) {
                if ((aligned[bit / 8] >> (bit % 8)) & 1) {
                    setBit(97 * k + bit);
                }
            }
            if (point.bit97) {
                setBit(97 * k + 96);
            }
        }
        append(out, group);
    }
    return out;
}

Bytes encodeSavedTrack(const SavedTrack& track) {
    if (track.name.size() > kTrackNameSize) {
        throw std::invalid_argument("encodeSavedTrack: a track name holds at most 29 bytes");
    }
    const Bytes packed = packPoints(track.points);
    Bytes out;
    putLe(out, track.length.value_or(static_cast<std::uint16_t>(52 + packed.size())), 2);
    putLe(out, track.pointCount.value_or(static_cast<std::uint16_t>(track.points.size())), 2);
    out.push_back(0);
    append(out,
           std::span(reinterpret_cast<const std::uint8_t*>(track.name.data()), track.name.size()));
    out.resize(out.size() + (kTrackNameSize - track.name.size()) + 16, 0);
    out.push_back(track.colour);
    out.resize(out.size() + 3, 0);
    append(out, packed);
    return out;
}

Bytes encodeSavedTracksFile(const SavedTracksFile& file) {
    Bytes out(file.header.begin(), file.header.end());
    putLe(out, file.trackCount.value_or(static_cast<std::uint32_t>(file.tracks.size())), 4);
    for (const SavedTrack& track : file.tracks) {
        append(out, encodeSavedTrack(track));
    }
    return out;
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace quillet::encoder
