// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "device/device_time.h"
#include "device/track_files.h"
#include "encoder/device_encoder.h"
#include "support/device_bytes.h"

namespace quillet {
namespace {

using encoder::Bytes;
using encoder::PointFields;
using test::hexBytes;
using test::streamOf;

constexpr const char* kTwoPoints =
    "a6 20 27 70 3d 0a 4c ab e7 20 2b 1a 63 41 4e 0a 7b 14 ac 56 cf 41 60 34 00";

const PointFields kTwoPointFields[] = {
    {.latitudeCode = 2564262,
     .longitudeCode = 671088,
     .elevationCode = 6699,
     .timeField = 552053580,
     .bit97 = true},
    {.latitudeCode = 2564273,
     .longitudeCode = 671109,
     .elevationCode = 6704,
     .timeField = 552053590},
};

Bytes savedFileWithPoints(const Bytes& packed, std::uint16_t pointCount) {
    encoder::SavedTrack track{.name = "T", .pointCount = pointCount};
    Bytes file = encoder::encodeSavedTracksFile({.tracks = {track}});
    file.insert(file.end(), packed.begin(), packed.end());
    return file;
}

TEST(SavedTrack, DecodesTheTwoPointExample) {
    InputStream stream = streamOf(savedFileWithPoints(hexBytes(kTwoPoints), 2));
    RecordBuffer buffer;
    SavedTrackReader reader(stream, buffer);
    ASSERT_EQ(reader.readHeader(), 1u);
    ASSERT_EQ(reader.readTrackHeader().pointCount, 2);

    const TrackPoint first = reader.readPoint();
    EXPECT_EQ(first.latitude, 55.0230965032039);
    EXPECT_EQ(first.longitude, 14.399987125395961);
    EXPECT_EQ(first.elevation, 110);
    EXPECT_EQ(formatDeviceTime(first.time), "2007-06-29  12:12:58 ");

    const TrackPoint second = reader.readPoint();
    EXPECT_EQ(second.latitude, 2564273 * 2.1457673398117627e-05);
    EXPECT_EQ(second.longitude, 671109 * 2.1457673398117627e-05);
    EXPECT_EQ(second.elevation, 111);
    EXPECT_EQ(formatDeviceTime(second.time), "2007-06-29  12:13:08 ");
    EXPECT_EQ(stream.remaining(), 0u);
    EXPECT_FALSE(reader.atEndOfFile());
}

TEST(SavedTrack, EncoderReproducesTheTwoPointExample) {
    EXPECT_EQ(encoder::packPoints({kTwoPointFields[0], kTwoPointFields[1]}), hexBytes(kTwoPoints));
}

TEST(SavedTrack, PackedSizes) {
    const std::pair<std::uint32_t, std::uint64_t> cases[] = {
        {0, 0},   {1, 12},   {2, 25},   {3, 37},   {7, 85},         {8, 97},
        {9, 109}, {10, 122}, {16, 194}, {17, 206}, {65535, 794612},
    };
    for (const auto& [points, size] : cases) {
        EXPECT_EQ(packedSize(points), size) << points;
        EXPECT_EQ(encoder::packPoints(std::vector<PointFields>(points)).size(), size) << points;
    }
}

TEST(TrackPoints, DecodeFieldsOfBothFiles) {
    struct Case {
        PointFields fields;
        double activeLatitude;
        int activeElevation;
        double savedLatitude;
        int savedElevation;
    };
    const Case cases[] = {
        {{.latitudeCode = 2564262, .elevationCode = 3120},
         27.51154825160195,
         0,
         55.0230965032039,
         -749},
        {{.latitudeCode = 16777215, .elevationCode = 6240}, 180.0, 749, 360.0, 0},
        {{.latitudeCode = 0, .elevationCode = 0}, 0.0, -749, 0.0, -1499},
        {{.latitudeCode = 1, .elevationCode = 65535},
         1.0728836699058814e-05,
         14999,
         2.1457673398117627e-05,
         14249},
    };
    for (const auto& c : cases) {
        const Bytes body = encoder::encodeActivePointBody(c.fields);
        const TrackPoint active =
            decodeActivePoint(std::span<const std::uint8_t, 12>(body.data(), 12));
        EXPECT_EQ(active.latitude, c.activeLatitude);
        EXPECT_EQ(active.elevation, c.activeElevation);
        const TrackPoint saved = decodeSavedPoint(encoder::encodeAlignedSavedPoint(c.fields));
        EXPECT_EQ(saved.latitude, c.savedLatitude);
        EXPECT_EQ(saved.elevation, c.savedElevation);
    }
}

TEST(TrackPoints, TimeFieldIsOffsetModulo32Bits) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {536544002, "2007-01-01  00:00:00 "},
        {0, ""},
        {536544001, ""},
        {536544002 + 519208205, "2023-06-15  08:30:05 "},
    };
    for (const auto& [field, text] : cases) {
        const PointFields fields{.timeField = field};
        const Bytes body = encoder::encodeActivePointBody(fields);
        EXPECT_EQ(formatDeviceTime(
                      decodeActivePoint(std::span<const std::uint8_t, 12>(body.data(), 12)).time),
                  text);
        EXPECT_EQ(formatDeviceTime(decodeSavedPoint(encoder::encodeAlignedSavedPoint(fields)).time),
                  text);
    }
}

TEST(SavedTrack, HeadersWalkTheFieldsNotTheLengthWord) {
    const std::string longName(29, 'N');
    encoder::SavedTracksFile file;
    file.tracks = {
        {.name = "Empty", .colour = 3, .length = 9999},
        {.name = longName, .colour = 7, .points = std::vector<PointFields>(9)},
        {.name = "Last", .colour = 1, .points = {kTwoPointFields[0]}},
    };
    InputStream stream = streamOf(encoder::encodeSavedTracksFile(file));
    RecordBuffer buffer;
    SavedTrackReader reader(stream, buffer);
    ASSERT_EQ(reader.readHeader(), 3u);

    TrackHeader header = reader.readTrackHeader();
    EXPECT_EQ(header.name, "Empty");
    EXPECT_EQ(header.length, 9999);
    EXPECT_EQ(header.pointCount, 0);
    EXPECT_EQ(header.colour, 3);

    header = reader.readTrackHeader();
    EXPECT_EQ(header.name, longName);
    EXPECT_EQ(header.length, 52 + 109);
    EXPECT_EQ(header.pointCount, 9);
    for (int i = 0; i < 3; ++i) {
        reader.readPoint();
    }
    reader.skipRemainingPoints();

    header = reader.readTrackHeader();
    EXPECT_EQ(header.name, "Last");
    EXPECT_EQ(header.colour, 1);
    EXPECT_EQ(reader.readPoint().elevation, 110);
    reader.skipRemainingPoints();  // nothing left to skip
    EXPECT_EQ(stream.remaining(), 0u);
    EXPECT_FALSE(reader.atEndOfFile());
}

TEST(SavedTrack, HeaderPastTheEndKeepsEarlierValues) {
    encoder::SavedTracksFile file;
    file.tracks = {{.name = "Lake", .colour = 5}};
    file.trackCount = 2;
    Bytes bytes = encoder::encodeSavedTracksFile(file);
    bytes.insert(bytes.end(), {0x40, 0x00, 0x07});  // a second header cut after 3 bytes

    InputStream stream = streamOf(bytes);
    RecordBuffer buffer;
    SavedTrackReader reader(stream, buffer);
    EXPECT_EQ(reader.readHeader(), 2u);
    reader.readTrackHeader();
    const TrackHeader cut = reader.readTrackHeader();
    EXPECT_TRUE(reader.atEndOfFile());
    EXPECT_EQ(cut.length, 0x40);
    EXPECT_EQ(cut.pointCount, 7);  // low byte read, high byte left from the first header
    EXPECT_EQ(cut.name, "Lake");
    EXPECT_EQ(cut.colour, 5);
}

TEST(ActiveTrack, ReadsHeaderAndPointRecords) {
    encoder::ActiveTrackFile file;
    file.reserved[0] = 0xEE;
    file.points = {
        {.latitudeCode = 2564262,
         .longitudeCode = 671088,
         .elevationCode = 3540,
         .timeField = 552053580},
        {.latitudeCode = 1, .longitudeCode = 2, .elevationCode = 3120, .timeField = 536544002}};
    Bytes bytes = encoder::encodeActiveTrackFile(file);
    bytes.insert(bytes.end(), {0x03, 0x00, 0x09, 0x00, 0x00});  // a 3-byte record

    InputStream stream = streamOf(bytes);
    RecordBuffer buffer;
    ActiveTrackReader reader(stream, buffer);
    const ActiveTrackHeader header = reader.readHeader();
    EXPECT_EQ(header.version, 5);
    EXPECT_EQ(header.pointCount, 2u);
    EXPECT_EQ(buffer.bytes[0], 0xEE);

    TrackPoint point = reader.readPoint();
    EXPECT_EQ(point.latitude, 27.51154825160195);
    EXPECT_EQ(point.longitude, 671088 * 2.1457673398117627e-05);
    EXPECT_EQ(point.elevation, 100);
    EXPECT_EQ(formatDeviceTime(point.time), "2007-06-29  12:12:58 ");
    point = reader.readPoint();
    EXPECT_EQ(point.time, 0u);

    // A short record replaces only the latitude; the rest comes from the record before.
    point = reader.readPoint();
    EXPECT_EQ(point.latitude, 9 * 1.0728836699058814e-05);
    EXPECT_EQ(point.longitude, 2 * 2.1457673398117627e-05);
    EXPECT_FALSE(reader.atEndOfFile());

    // Past the end the last fields come back again.
    const TrackPoint again = reader.readPoint();
    EXPECT_TRUE(reader.atEndOfFile());
    EXPECT_EQ(again.latitude, point.latitude);
    EXPECT_EQ(again.time, point.time);
}

TEST(ActiveTrack, ShortHeaderGivesNoPoints) {
    for (std::size_t size = 0; size < 13; ++size) {
        InputStream stream = streamOf(Bytes(size, 0x05));
        RecordBuffer buffer;
        ActiveTrackReader reader(stream, buffer);
        EXPECT_EQ(reader.readHeader().pointCount, 0u) << size;
        EXPECT_TRUE(reader.atEndOfFile());
    }
}

}  // namespace
}  // namespace quillet
