// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-dump DIR: prints the waypoints and tracks of a device folder through the
// decoders. Every file is read only as far as it holds bytes, whatever its header
// counts claim.

#include <cstdio>
#include <filesystem>
#include <string>

#include "device/code_page.h"
#include "device/device_files.h"
#include "device/device_time.h"
#include "device/track_files.h"
#include "device/waypoint_file.h"

namespace {

using namespace quillet;

std::string categoryText(const WaypointRecord& record) {
    std::string text;
    for (int n = 1; n <= 16; ++n) {
        if (record.categories[n]) {
            if (!text.empty()) {
                text += ',';
            }
            text += std::to_string(n);
        }
    }
    return text.empty() ? "-" : text;
}

std::string timeText(DeviceTime time) {
    const std::string text = formatDeviceTime(time);
    return text.empty() ? "(no time)            " : text;  // as wide as a calendar text
}

void dumpWaypoints(const std::filesystem::path& path) {
    auto stream = InputStream::open(path);
    if (!stream) {
        std::printf("%s: not present\n", path.filename().string().c_str());
        return;
    }
    RecordBuffer buffer;
    const WaypointFileHeader header = readWaypointHeader(*stream, buffer);
    std::printf("%s: version %u, access count %u, %u waypoints\n", path.filename().string().c_str(),
                header.version, header.accessCount, header.recordCount);
    std::printf(
        "  #  Symbol  Latitude    Longitude    Elevation  Time                   "
        "Categories  Name\n");
    const std::uint32_t read = forEachHeldRecord(
        *stream, buffer, header.recordCount, [&](std::uint32_t n, const RecordRead&) {
            const WaypointRecord record = decodeWaypoint(buffer);
            const std::string elevation =
                record.elevation ? std::to_string(*record.elevation) : std::string("-");
            const std::string name =
                record.nameIsUtf8 ? record.name : deviceTextToUtf8(record.name);
            std::printf("%3u  %6u  %10.7f  %11.7f  %9s  %s  %-10s  %s%s\n", n, record.symbol,
                        record.latitude, record.longitude, elevation.c_str(),
                        timeText(record.time).c_str(), categoryText(record).c_str(), name.c_str(),
                        record.nameIsUtf8 ? "  (UTF-8)" : "");
            if (atEndOfFile(*stream)) {
                std::printf("  the file ends inside waypoint %u\n", n);
            }
            return true;
        });
    if (read < header.recordCount) {
        std::printf("  the file holds %u of its %u waypoints\n", read, header.recordCount);
    }
}

// The points a file holds whole of the `count` its header claims: how many, the first
// and the last.
struct HeldPoints {
    std::uint32_t held = 0;
    TrackPoint first;
    TrackPoint last;
};

template <typename Reader>
HeldPoints readHeldPoints(Reader& reader, std::uint32_t count) {
    HeldPoints points;
    points.held = forEachHeldPoint(reader, count, [&](const TrackPoint& point) {
        points.first = points.held++ == 0 ? point : points.first;
        points.last = point;
        return true;
    });
    return points;
}

void dumpActiveTrack(const std::filesystem::path& path, RecordBuffer& buffer) {
    auto stream = InputStream::open(path);
    if (!stream) {
        std::printf("%s: not present\n", path.filename().string().c_str());
        return;
    }
    ActiveTrackReader reader(*stream, buffer);
    const ActiveTrackHeader header = reader.readHeader();
    const auto [held, first, last] = readHeldPoints(reader, header.pointCount);
    std::printf("%s: version %u, active track of %u points", path.filename().string().c_str(),
                header.version, header.pointCount);
    if (held < header.pointCount) {
        std::printf(" (the file holds %u)", held);
    }
    std::printf("\n");
    if (held > 0) {
        std::printf("  first %s  last %s\n", timeText(first.time).c_str(),
                    timeText(last.time).c_str());
    }
}

void dumpSavedTracks(const std::filesystem::path& path, RecordBuffer& buffer) {
    auto stream = InputStream::open(path);
    if (!stream) {
        std::printf("%s: not present\n", path.filename().string().c_str());
        return;
    }
    SavedTrackReader reader(*stream, buffer);
    const std::uint32_t trackCount = reader.readHeader();
    std::printf("%s: version %u, %u saved tracks\n", path.filename().string().c_str(),
                buffer.bytes[0], trackCount);
    std::printf("  #  Colour  Points  First                  Last                   Name\n");
    std::uint32_t n = 0;
    while (n < trackCount && reader.remaining() > 0) {
        ++n;
        const TrackHeader header = reader.readTrackHeader();
        const auto [held, first, last] = readHeldPoints(reader, header.pointCount);
        const std::string firstTime = held > 0 ? timeText(first.time) : std::string(21, ' ');
        const std::string lastTime = held > 0 ? timeText(last.time) : std::string(21, ' ');
        std::printf("%3u  %6u  %6u  %s  %s  %s\n", n, header.colour, header.pointCount,
                    firstTime.c_str(), lastTime.c_str(), deviceTextToUtf8(header.name).c_str());
        if (held < header.pointCount) {
            std::printf("  the file holds %u of the track's %u points\n", held, header.pointCount);
        }
    }
    if (n < trackCount) {
        std::printf("  the file holds %u of its %u tracks\n", n, trackCount);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillet-dump DIR\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    RecordBuffer buffer;
    dumpWaypoints(folder / kWaypointFileName);
    std::printf("\n");
    dumpActiveTrack(folder / kActiveTrackFileName, buffer);
    dumpSavedTracks(folder / kSavedTracksFileName, buffer);
    return 0;
}
