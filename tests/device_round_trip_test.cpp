// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>

#include "device/track_files.h"
#include "device/waypoint_file.h"
#include "encoder/device_encoder.h"
#include "support/device_bytes.h"

namespace quillet {
namespace {

// The steps of the stored codes, written out here rather than taken from the decoders,
// so that a wrong constant there shows: degrees per coordinate code, metres per
// elevation code.
constexpr double kWaypointLatitudeStep = 8.381903126185339e-08;
constexpr double kWaypointLongitudeStep = 8.38190332599264e-08;
constexpr double kActiveLatitudeStep = 1.0728836699058814e-05;
constexpr double kSavedLatitudeStep = 2.1457673398117627e-05;
constexpr double kTrackLongitudeStep = 2.1457673398117627e-05;
constexpr double kMetresPerStep = 0.2403216936;
using encoder::PointFields;
using test::streamOf;

template <typename T>
T uniform(std::mt19937& random, T low, T high) {
    return static_cast<T>(std::uniform_int_distribution<std::int64_t>(low, high)(random));
}

std::string randomName(std::mt19937& random, std::size_t maxSize) {
    std::string name(uniform<std::size_t>(random, 0, maxSize), ' ');
    for (char& c : name) {
        c = static_cast<char>(uniform(random, 1, 255));
    }
    return name;
}

PointFields randomPoint(std::mt19937& random) {
    return {.latitudeCode = uniform<std::uint32_t>(random, 0, 0xFFFFFF),
            .longitudeCode = uniform<std::uint32_t>(random, 0, 0xFFFFFF),
            .elevationCode = uniform<std::uint16_t>(random, 0, 0xFFFF),
            .timeField = uniform<std::uint32_t>(random, 0, 0xFFFFFFFF),
            .bit97 = uniform(random, 0, 1) == 1};
}

void expectSavedPoint(const TrackPoint& point, const PointFields& fields) {
    EXPECT_EQ(point.latitude, fields.latitudeCode * kSavedLatitudeStep);
    EXPECT_EQ(point.longitude, fields.longitudeCode * kTrackLongitudeStep);
    EXPECT_EQ(point.elevation, static_cast<int>((fields.elevationCode - 6240) * kMetresPerStep));
    EXPECT_EQ(point.time, fields.timeField - 536544002u);
}

TEST(RoundTrip, WaypointFile) {
    std::mt19937 random(20230615);
    std::vector<encoder::WaypointFields> waypoints;
    for (int i = 0; i < 300; ++i) {
        waypoints.push_back({.latitudeCode = uniform(random, INT32_MIN, INT32_MAX),
                             .longitudeCode = uniform(random, INT32_MIN, INT32_MAX),
                             .symbol = uniform<std::uint8_t>(random, 0, 255),
                             .elevationCode = uniform<std::uint16_t>(random, 0, 0xFFFF),
                             .name = randomName(random, 122),
                             .nameIsUtf8 = uniform(random, 0, 1) == 1,
                             .categoryBits = uniform<std::uint16_t>(random, 0, 0xFFFF),
                             .timeWord = uniform<std::uint32_t>(random, 0, 0xFFFFFFFF)});
    }
    // Full-length names where the last two bytes share their top three bits.
    waypoints[0].name = std::string(124, 'q');
    waypoints[1].name = std::string(122, 'z') + '\x1F' + '\x03';

    encoder::WaypointFile file{.accessCount = 77};
    for (const auto& w : waypoints) {
        file.bodies.push_back(encoder::encodeWaypointBody(w));
    }
    InputStream stream = streamOf(encoder::encodeWaypointFile(file));
    RecordBuffer buffer;
    const WaypointFileHeader header = readWaypointHeader(stream, buffer);
    EXPECT_EQ(header.version, 5);
    EXPECT_EQ(header.accessCount, 77u);
    ASSERT_EQ(header.recordCount, waypoints.size());

    for (const auto& w : waypoints) {
        readRecord(stream, buffer);
        const WaypointRecord record = decodeWaypoint(buffer);
        EXPECT_EQ(record.latitude, w.latitudeCode * kWaypointLatitudeStep);
        EXPECT_EQ(record.longitude, w.longitudeCode * kWaypointLongitudeStep);
        EXPECT_EQ(record.symbol, w.symbol);
        if (w.elevationCode == 0xFFFF) {
            EXPECT_FALSE(record.elevation);
        } else {
            EXPECT_EQ(record.elevation,
                      static_cast<int>((w.elevationCode - 6241) * kMetresPerStep));
        }
        EXPECT_EQ(record.name, w.name);
        EXPECT_EQ(record.nameIsUtf8, w.nameIsUtf8);
        for (int n = 1; n <= 16; ++n) {
            EXPECT_EQ(record.categories[n], ((w.categoryBits >> (16 - n)) & 1) != 0);
        }
        EXPECT_EQ(record.time, (w.timeWord >> 3) + 326910);
    }
    EXPECT_EQ(stream.remaining(), 0u);
    EXPECT_FALSE(atEndOfFile(stream));
}

TEST(RoundTrip, UnrepresentableLongNameIsRefused) {
    EXPECT_THROW(encoder::packName(std::string(123, 'a')), std::invalid_argument);
    EXPECT_THROW(encoder::packName(std::string(123, 'a') + 'A'), std::invalid_argument);
    EXPECT_THROW(encoder::packName(std::string(125, 'a')), std::invalid_argument);
}

TEST(RoundTrip, ActiveTrackFile) {
    std::mt19937 random(7);
    encoder::ActiveTrackFile file;
    for (int i = 0; i < 500; ++i) {
        file.points.push_back(randomPoint(random));
    }
    InputStream stream = streamOf(encoder::encodeActiveTrackFile(file));
    RecordBuffer buffer;
    ActiveTrackReader reader(stream, buffer);
    ASSERT_EQ(reader.readHeader().pointCount, file.points.size());
    for (const auto& fields : file.points) {
        const TrackPoint point = reader.readPoint();
        EXPECT_EQ(point.latitude, fields.latitudeCode * kActiveLatitudeStep);
        EXPECT_EQ(point.longitude, fields.longitudeCode * kTrackLongitudeStep);
        EXPECT_EQ(point.elevation,
                  static_cast<int>((fields.elevationCode - 3120) * kMetresPerStep));
        EXPECT_EQ(point.time, fields.timeField - 536544002u);
    }
    EXPECT_EQ(reader.remaining(), 0u);
    EXPECT_FALSE(reader.atEndOfFile());
}

// Tracks of 0 to 20 points; every third track is left after a few points.
TEST(RoundTrip, SavedTracksFile) {
    std::mt19937 random(97);
    encoder::SavedTracksFile file;
    for (int i = 0; i < 120; ++i) {
        encoder::SavedTrack track{.name = randomName(random, 29),
                                  .colour = uniform<std::uint8_t>(random, 0, 255)};
        const int points = i % 21;
        for (int p = 0; p < points; ++p) {
            track.points.push_back(randomPoint(random));
        }
        file.tracks.push_back(track);
    }
    InputStream stream = streamOf(encoder::encodeSavedTracksFile(file));
    RecordBuffer buffer;
    SavedTrackReader reader(stream, buffer);
    ASSERT_EQ(reader.readHeader(), file.tracks.size());
    for (std::size_t i = 0; i < file.tracks.size(); ++i) {
        const auto& track = file.tracks[i];
        const TrackHeader header = reader.readTrackHeader();
        EXPECT_EQ(header.name, track.name);
        EXPECT_EQ(header.colour, track.colour);
        EXPECT_EQ(header.pointCount, track.points.size());
        EXPECT_EQ(header.length, 52 + packedSize(header.pointCount));
        const std::size_t toRead = i % 3 == 0 ? track.points.size() / 2 : track.points.size();
        for (std::size_t p = 0; p < toRead; ++p) {
            expectSavedPoint(reader.readPoint(), track.points[p]);
        }
        reader.skipRemainingPoints();
    }
    EXPECT_EQ(reader.remaining(), 0u);
    EXPECT_FALSE(reader.atEndOfFile());
}

TEST(RoundTrip, PhysicalValuesThroughCodes) {
    for (int metres = -1499; metres <= 14249; ++metres) {
        RecordBuffer buffer;
        const auto body =
            encoder::encodeWaypointBody({.elevationCode = encoder::waypointElevationCode(metres)});
        std::copy(body.begin(), body.end(), buffer.bytes.begin());
        ASSERT_EQ(decodeWaypoint(buffer).elevation, metres);
        ASSERT_EQ(
            decodeSavedPoint(encoder::encodeAlignedSavedPoint(
                                 {.elevationCode = encoder::trackElevationCode(metres, false)}))
                .elevation,
            metres);
    }
    for (int metres = -749; metres <= 14999; metres += 7) {
        const auto body = encoder::encodeActivePointBody(
            {.elevationCode = encoder::trackElevationCode(metres, true)});
        ASSERT_EQ(decodeActivePoint(std::span<const std::uint8_t, 12>(body.data(), 12)).elevation,
                  metres);
    }

    std::mt19937 random(5);
    for (int i = 0; i < 1000; ++i) {
        const double latitude = std::uniform_real_distribution<double>(-90, 90)(random);
        const double longitude = std::uniform_real_distribution<double>(-180, 180)(random);
        EXPECT_NEAR(encoder::waypointLatitudeCode(latitude) * kWaypointLatitudeStep, latitude,
                    5e-8);
        EXPECT_NEAR(encoder::waypointLongitudeCode(longitude) * kWaypointLongitudeStep, longitude,
                    5e-8);
        const double positive = std::abs(longitude);
        EXPECT_NEAR(encoder::trackLatitudeCode(positive / 2, true) * kActiveLatitudeStep,
                    positive / 2, 6e-6);
        EXPECT_NEAR(encoder::trackLatitudeCode(positive / 2, false) * kSavedLatitudeStep,
                    positive / 2, 1.1e-5);
        EXPECT_NEAR(encoder::trackLongitudeCode(positive) * kTrackLongitudeStep, positive, 1.1e-5);

        const DeviceTime time = uniform<DeviceTime>(random, 326910, 537197821);
        EXPECT_EQ((encoder::waypointTimeWord(time) >> 3) + 326910, time);
        EXPECT_EQ(encoder::trackTimeField(time) - 536544002u, time);
    }
}

}  // namespace
}  // namespace quillet
