// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_info.h"

#include "device/device_files.h"
#include "device/track_files.h"
#include "device/waypoint_file.h"

namespace quillet {
namespace {

// The file's first 16 bytes, zero-filled past the file's end, so that the readers
// never meet the end, whatever they do with a short header.
std::optional<std::vector<std::uint8_t>> readHeaderBytes(const std::filesystem::path& path) {
    auto file = InputStream::open(path);
    if (!file) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> header(kDeviceHeaderSize, 0);
    file->read(header);
    return header;
}

}  // namespace

std::vector<DeviceFileInfo> readDeviceInfo(const FileSet& files) {
    std::vector<DeviceFileInfo> infos;
    RecordBuffer scratch;  // receives the uninterpreted header stretches only

    if (auto bytes = readHeaderBytes(files.waypoints)) {
        auto header = InputStream::fromBytes(std::move(*bytes));
        const WaypointFileHeader values = readWaypointHeader(header, scratch);
        infos.push_back({.fileName = kWaypointFileName,
                         .version = values.version,
                         .accessCount = values.accessCount,
                         .count = values.recordCount});
    }
    if (auto bytes = readHeaderBytes(files.activeTrack)) {
        auto header = InputStream::fromBytes(std::move(*bytes));
        const ActiveTrackHeader values = ActiveTrackReader(header, scratch).readHeader();
        infos.push_back({.fileName = kActiveTrackFileName,
                         .version = values.version,
                         .accessCount = std::nullopt,
                         .count = values.pointCount});
    }
    if (auto bytes = readHeaderBytes(files.savedTracks)) {
        // Only the first byte of the saved-tracks header is its version.
        const std::uint8_t version = (*bytes)[0];
        auto header = InputStream::fromBytes(std::move(*bytes));
        const std::uint32_t trackCount = SavedTrackReader(header, scratch).readHeader();
        infos.push_back({.fileName = kSavedTracksFileName,
                         .version = version,
                         .accessCount = std::nullopt,
                         .count = trackCount});
    }
    return infos;
}

}  // namespace quillet
