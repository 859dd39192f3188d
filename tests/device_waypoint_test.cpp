// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include "device/waypoint_file.h"
#include "encoder/device_encoder.h"
#include "support/device_bytes.h"

namespace quillet {
namespace {

namespace wl = waypoint_layout;
using encoder::Bytes;
using test::hexBytes;
using test::streamOf;

RecordBuffer bufferWith(std::size_t offset, const Bytes& bytes) {
    RecordBuffer buffer;
    std::copy(bytes.begin(), bytes.end(), buffer.bytes.begin() + offset);
    return buffer;
}

void putLe(RecordBuffer& buffer, std::size_t offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        buffer.bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

TEST(WaypointName, UnpacksThreeBitShiftedStream) {
    EXPECT_EQ(decodeWaypoint(bufferWith(wl::kName, hexBytes("08 13 1B 03"))).name, "abc");
    // Bits 0 to 2 of the first name byte and every bit of the byte after the name are
    // not part of the name.
    EXPECT_EQ(decodeWaypoint(bufferWith(wl::kName, hexBytes("0F 13 1B 03"))).name, "abc");
    RecordBuffer buffer = bufferWith(wl::kName, hexBytes("08 13 1B 03"));
    buffer.bytes[wl::kCategories] = 0xFF;
    EXPECT_EQ(decodeWaypoint(buffer).name, "abc");
}

TEST(WaypointName, LastStoredByteIsRotatedWithinItself) {
    std::array<std::uint8_t, 124> stored;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        stored[i] = static_cast<std::uint8_t>(0x5B + 7 * i);  // no unpacked byte is zero
    }
    const auto unpacked = unpackName(stored);
    EXPECT_EQ(unpacked[0], (0x5B >> 3) | ((stored[1] & 7) << 5));
    EXPECT_EQ(unpacked[123], (stored[123] >> 3) | ((stored[123] & 7) << 5));

    RecordBuffer buffer = bufferWith(wl::kName, Bytes(stored.begin(), stored.end()));
    const std::string name = decodeWaypoint(buffer).name;
    ASSERT_EQ(name.size(), 124u);
    EXPECT_EQ(static_cast<std::uint8_t>(name[123]) >> 5, stored[123] & 7);
}

TEST(WaypointFields, DecodesCoordinates) {
    struct Case {
        std::int32_t latitude;
        std::int32_t longitude;
        double latitudeDegrees;
        double longitudeDegrees;
    };
    const Case cases[] = {
        {536870912, 536870912, 44.99999975650774, 45.00000082921502},
        {-2147483648, 0, -179.99999902603096, 0.0},
        {-1, -1, -8.381903126185339e-08, -8.38190332599264e-08},
    };
    for (const auto& c : cases) {
        RecordBuffer buffer;
        putLe(buffer, wl::kLatitude, static_cast<std::uint32_t>(c.latitude), 4);
        putLe(buffer, wl::kLongitude, static_cast<std::uint32_t>(c.longitude), 4);
        const WaypointRecord record = decodeWaypoint(buffer);
        EXPECT_EQ(record.latitude, c.latitudeDegrees) << c.latitude;
        EXPECT_EQ(record.longitude, c.longitudeDegrees) << c.longitude;
    }
}

TEST(WaypointFields, DecodesElevationTruncatingTowardZero) {
    const std::pair<std::uint16_t, std::optional<int>> cases[] = {
        {6241, 0},
        {6237, 0},
        {6236, -1},
        {10403, 1000},
        {0, -1499},
        {65534, 14249},
        {65535, std::nullopt},
        {6245, 0},
        {6246, 1},
    };
    for (const auto& [code, metres] : cases) {
        RecordBuffer buffer;
        putLe(buffer, wl::kElevation, code, 2);
        EXPECT_EQ(decodeWaypoint(buffer).elevation, metres) << code;
    }
}

TEST(WaypointFields, DecodesTimeWord) {
    const std::pair<std::uint32_t, DeviceTime> cases[] = {
        {0, 326910}, {7, 326910}, {8, 326911}, {0xFFFFFFFF, 537197821}, {0x10, 326912},
    };
    for (const auto& [word, time] : cases) {
        RecordBuffer buffer;
        putLe(buffer, wl::kTime, word, 4);
        EXPECT_EQ(decodeWaypoint(buffer).time, time) << word;
    }
}

TEST(WaypointFields, DecodesCategoryFlags) {
    struct Case {
        std::uint8_t first;
        std::uint8_t second;
        std::vector<int> set;
    };
    const Case cases[] = {
        {0x80, 0x00, {1}},  {0x01, 0x00, {8}},        {0x00, 0x80, {9}},
        {0x00, 0x01, {16}}, {0x41, 0x02, {2, 8, 15}}, {0x00, 0x00, {}},
    };
    for (const auto& c : cases) {
        RecordBuffer buffer;
        buffer.bytes[wl::kCategories] = c.first;
        buffer.bytes[wl::kCategories + 1] = c.second;
        const WaypointRecord record = decodeWaypoint(buffer);
        std::vector<int> set;
        for (int n = 0; n <= 16; ++n) {
            if (record.categories[n]) {
                set.push_back(n);
            }
        }
        EXPECT_EQ(set, c.set) << int(c.first) << " " << int(c.second);
    }
}

TEST(WaypointFields, RecognisesOnlyTheExactUtf8Marker) {
    const std::pair<const char*, bool> cases[] = {
        {"48 EF FF FF", true},
        {"FF FF EF 48", false},
        {"48 EF FF FE", false},
        {"00 00 00 00", false},
    };
    for (const auto& [marker, utf8] : cases) {
        EXPECT_EQ(decodeWaypoint(bufferWith(wl::kEncodingMarker, hexBytes(marker))).nameIsUtf8,
                  utf8)
            << marker;
    }
}

Bytes framed(const Bytes& body) {
    Bytes record(2 + body.size());
    record[0] = static_cast<std::uint8_t>(body.size());
    record[1] = static_cast<std::uint8_t>(body.size() >> 8);
    std::copy(body.begin(), body.end(), record.begin() + 2);
    return record;
}

Bytes fullBody(const char* name, std::int32_t latitude, std::uint32_t timeWord) {
    return encoder::encodeWaypointBody({.latitudeCode = latitude,
                                        .symbol = 18,
                                        .elevationCode = 6241,
                                        .name = name,
                                        .nameIsUtf8 = true,
                                        .categoryBits = 0x8001,
                                        .timeWord = timeWord});
}

TEST(WaypointRecords, ShortRecordShowsBytesOfEarlierReads) {
    Bytes file = framed(fullBody("first", 1000, 800));
    Bytes shortBody(8, 0);
    shortBody[0] = 7;  // a new latitude; the rest of the record is missing
    const Bytes secondRecord = framed(shortBody);
    file.insert(file.end(), secondRecord.begin(), secondRecord.end());
    file.insert(file.end(), {0, 0});  // a record of length 0

    InputStream stream = streamOf(file);
    RecordBuffer buffer;
    EXPECT_EQ(readRecord(stream, buffer).delivered, 166u);
    EXPECT_EQ(readRecord(stream, buffer).delivered, 8u);
    WaypointRecord record = decodeWaypoint(buffer);
    EXPECT_EQ(record.latitude, 7 * 8.381903126185339e-08);
    EXPECT_EQ(record.name, "first");
    EXPECT_TRUE(record.nameIsUtf8);
    EXPECT_EQ(record.time, 326910u + 100);
    EXPECT_FALSE(atEndOfFile(stream));

    const RecordRead empty = readRecord(stream, buffer);
    EXPECT_EQ(empty.length, 0);
    EXPECT_EQ(decodeWaypoint(buffer).latitude, record.latitude);
    EXPECT_FALSE(atEndOfFile(stream));
}

TEST(WaypointRecords, FileEndingMidRecordKeepsTheRestOfTheBuffer) {
    Bytes file = framed(fullBody("first", 1000, 800));
    Bytes second = framed(fullBody("xyz", 2000, 1600));
    second.resize(2 + 20);  // the file ends after 20 body bytes: the name is cut short
    file.insert(file.end(), second.begin(), second.end());

    InputStream stream = streamOf(file);
    RecordBuffer buffer;
    readRecord(stream, buffer);
    const RecordBuffer afterFirst = buffer;
    const RecordRead cut = readRecord(stream, buffer);
    EXPECT_EQ(cut.length, 166);
    EXPECT_EQ(cut.delivered, 20u);
    EXPECT_TRUE(atEndOfFile(stream));
    EXPECT_TRUE(
        std::equal(buffer.bytes.begin() + 20, buffer.bytes.end(), afterFirst.bytes.begin() + 20));
    EXPECT_EQ(decodeWaypoint(buffer).latitude, 2000 * 8.381903126185339e-08);
    EXPECT_EQ(decodeWaypoint(buffer).time, 326910u + 100);

    // Once ended, reads deliver nothing and the buffer stays as it was.
    const RecordBuffer atEnd = buffer;
    EXPECT_EQ(readRecord(stream, buffer).delivered, 0u);
    EXPECT_EQ(buffer.bytes, atEnd.bytes);
    EXPECT_TRUE(atEndOfFile(stream));
}

TEST(WaypointRecords, OverlongRecordKeepsTheNextRecordInStep) {
    Bytes longBody(1500);
    for (std::size_t i = 0; i < longBody.size(); ++i) {
        longBody[i] = static_cast<std::uint8_t>(i * 13 + 1);
    }
    Bytes file = framed(longBody);
    const Bytes next = framed(fullBody("next", 4242, 64));
    file.insert(file.end(), next.begin(), next.end());

    InputStream stream = streamOf(file);
    RecordBuffer buffer;
    const RecordRead first = readRecord(stream, buffer);
    EXPECT_EQ(first.length, 1500);
    EXPECT_EQ(first.delivered, RecordBuffer::kSize);
    EXPECT_TRUE(std::equal(buffer.bytes.begin(), buffer.bytes.end(), longBody.begin()));
    EXPECT_FALSE(atEndOfFile(stream));

    readRecord(stream, buffer);
    const WaypointRecord record = decodeWaypoint(buffer);
    EXPECT_EQ(record.name, "next");
    EXPECT_EQ(record.latitude, 4242 * 8.381903126185339e-08);
    EXPECT_FALSE(atEndOfFile(stream));
    EXPECT_EQ(stream.remaining(), 0u);
}

TEST(WaypointHeader, ReadsFieldsAndLeavesTheUninterpretedBytesInTheBuffer) {
    InputStream stream = streamOf(hexBytes("05 01 AA BB 10 20 30 40 C1 C2 C3 C4 03 00 00 00 99"));
    RecordBuffer buffer;
    const WaypointFileHeader header = readWaypointHeader(stream, buffer);
    EXPECT_EQ(header.version, 0x0105);
    EXPECT_EQ(header.accessCount, 0x40302010u);
    EXPECT_EQ(header.recordCount, 3u);
    EXPECT_EQ(buffer.bytes[0], 0xC1);
    EXPECT_EQ(buffer.bytes[1], 0xC2);
    EXPECT_EQ(buffer.bytes[3], 0xC4);
    EXPECT_EQ(stream.position(), 16u);
}

// A field the file supplies only in part keeps the bytes it got, as a plain read would.
TEST(WaypointHeader, FileShorterThanItsHeaderGivesZeroForMissingFields) {
    const Bytes full = hexBytes("05 00 AA BB 10 20 30 40 C1 C2 C3 C4 03 01 00 00");
    struct Case {
        std::size_t size;
        std::uint16_t version;
        std::uint32_t accessCount;
        std::uint32_t recordCount;
    };
    const Case cases[] = {
        {0, 0, 0, 0},           {1, 5, 0, 0},           {2, 5, 0, 0},
        {4, 5, 0, 0},           {6, 5, 0x2010, 0},      {8, 5, 0x40302010, 0},
        {12, 5, 0x40302010, 0}, {13, 5, 0x40302010, 3}, {15, 5, 0x40302010, 0x103},
    };
    for (const auto& c : cases) {
        InputStream stream = streamOf(Bytes(full.begin(), full.begin() + c.size));
        RecordBuffer buffer;
        const WaypointFileHeader header = readWaypointHeader(stream, buffer);
        EXPECT_TRUE(atEndOfFile(stream)) << c.size;
        EXPECT_EQ(header.version, c.version) << c.size;
        EXPECT_EQ(header.accessCount, c.accessCount) << c.size;
        EXPECT_EQ(header.recordCount, c.recordCount) << c.size;
    }
}

}  // namespace
}  // namespace quillet
