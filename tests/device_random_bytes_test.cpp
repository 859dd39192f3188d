// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "device/code_page.h"
#include "device/device_time.h"
#include "device/track_files.h"
#include "device/waypoint_file.h"
#include "support/device_bytes.h"

namespace quillet {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Random files, read the way the views read them: as long as the stream holds bytes,
// whatever the header counts claim. Run under the sanitizers, this finds any read
// past a buffer; the loops end because every read moves on or ends the stream.
Bytes randomBytes(std::mt19937& random, std::size_t size) {
    Bytes bytes(size);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    if (size > 0 && random() % 2 == 0) {
        bytes[0] = 5;
    }
    return bytes;
}

void readWaypoints(const Bytes& bytes) {
    InputStream stream = test::streamOf(bytes);
    RecordBuffer buffer;
    readWaypointHeader(stream, buffer);
    while (stream.remaining() > 0) {
        readRecord(stream, buffer);
        const WaypointRecord record = decodeWaypoint(buffer);
        const std::string text = record.nameIsUtf8 ? utf8ToDeviceText(record.name) : record.name;
        EXPECT_LE(deviceTextToUtf8(text).size(), 3 * text.size());
        EXPECT_FALSE(formatDeviceTime(record.time).empty());
    }
    EXPECT_EQ(stream.position(), bytes.size());
}

void readActiveTrack(const Bytes& bytes) {
    InputStream stream = test::streamOf(bytes);
    RecordBuffer buffer;
    ActiveTrackReader reader(stream, buffer);
    reader.readHeader();
    while (reader.remaining() > 0) {
        const TrackPoint point = reader.readPoint();
        EXPECT_GE(point.latitude, 0.0);
        formatDeviceTime(point.time);
    }
}

void readSavedTracks(const Bytes& bytes, bool skip) {
    InputStream stream = test::streamOf(bytes);
    RecordBuffer buffer;
    SavedTrackReader reader(stream, buffer);
    reader.readHeader();
    while (reader.remaining() > 0) {
        const TrackHeader header = reader.readTrackHeader();
        EXPECT_LE(header.name.size(), 29u);
        for (std::uint32_t p = 0; p < header.pointCount && reader.remaining() > 0; ++p) {
            const TrackPoint point = reader.readPoint();
            EXPECT_LE(point.longitude, 360.0);
            if (skip && p == 2) {
                reader.skipRemainingPoints();
                break;
            }
        }
    }
}

TEST(RandomBytes, EveryReaderStaysInsideItsBuffers) {
    const std::size_t sizes[] = {0, 1, 5, 15, 16, 17, 54, 70, 166, 300, 1100, 4000};
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        for (const std::size_t size : sizes) {
            const Bytes bytes = randomBytes(random, size);
            readWaypoints(bytes);
            readActiveTrack(bytes);
            readSavedTracks(bytes, false);
            readSavedTracks(bytes, true);
            const std::string text(bytes.begin(), bytes.end());
            utf8ToDeviceText(text);
            deviceTextToUtf8(text);
        }
    }
}

TEST(RandomBytes, FileStreamReadsLikeAByteStream) {
    std::mt19937 random(3);
    const Bytes bytes = randomBytes(random, 3000);
    // A name of its own, so that test runs side by side do not share the file.
    const auto path = std::filesystem::temp_directory_path() /
                      ("quillet_stream_test_" + std::to_string(std::random_device{}()) + ".bin");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    auto file = InputStream::open(path);
    ASSERT_TRUE(file);
    InputStream memory = test::streamOf(bytes);
    EXPECT_EQ(file->size(), bytes.size());
    for (const std::size_t step : {7, 1000, 0, 1500, 900}) {
        Bytes a(step, 0xAA);
        Bytes b(step, 0xAA);
        EXPECT_EQ(file->read(a), memory.read(b));
        EXPECT_EQ(a, b);
        EXPECT_EQ(file->skip(step / 3), memory.skip(step / 3));
        EXPECT_EQ(file->remaining(), memory.remaining());
        EXPECT_EQ(file->atEnd(), memory.atEnd());
    }
    EXPECT_TRUE(file->atEnd());
    file.reset();  // Windows removes no open file
    std::filesystem::remove(path);

    EXPECT_FALSE(InputStream::open(path));
    EXPECT_FALSE(InputStream::open(std::filesystem::temp_directory_path()));
}

}  // namespace
}  // namespace quillet
