#pragma once

#include <cstddef>
#include <filesystem>

namespace quillet {

// The three files a receiver keeps in its folder.
inline constexpr const char* kWaypointFileName = "GARMIN_WPT.NVM";
inline constexpr const char* kSavedTracksFileName = "GARMIN_STRK.NVM";
inline constexpr const char* kActiveTrackFileName = "GARMIN_ATRK.NVM";

// Every one of them starts with a header of this many bytes.
inline constexpr std::size_t kDeviceHeaderSize = 16;

struct FileSet {
    std::filesystem::path waypoints;
    std::filesystem::path savedTracks;
    std::filesystem::path activeTrack;
};

FileSet makeFileSet(const std::filesystem::path& directory);

}  // namespace quillet
