// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>

namespace quillet {

// The three files a receiver keeps in its folder.
inline constexpr const char* kWaypointFileName = "GARMIN_WPT.NVM";
inline constexpr const char* kSavedTracksFileName = "GARMIN_STRK.NVM";
inline constexpr const char* kActiveTrackFileName = "GARMIN_ATRK.NVM";

// A deletion writes the new file under a temporary name beside the old one and keeps
// the old one, as the one backup, under a backup name.
inline constexpr const char* kWaypointTemporaryName = "GARMIN_WPT.NV_";
inline constexpr const char* kWaypointBackupName = "GARMIN_WPT.BAK";
inline constexpr const char* kSavedTracksTemporaryName = "GARMIN_STRK.NV_";
inline constexpr const char* kSavedTracksBackupName = "GARMIN_STRK.BAK";

// Every one of them starts with a header of this many bytes.
inline constexpr std::size_t kDeviceHeaderSize = 16;

struct FileSet {
    std::filesystem::path waypoints;
    std::filesystem::path savedTracks;
    std::filesystem::path activeTrack;
};

FileSet makeFileSet(const std::filesystem::path& directory);

}  // namespace quillet
