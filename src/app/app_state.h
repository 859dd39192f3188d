#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "device/file_snapshot.h"
#include "device/record_buffer.h"
#include "ui/record_list.h"

namespace quillet {

inline constexpr const char* kWaypointFileName = "GARMIN_WPT.NVM";
inline constexpr const char* kSavedTracksFileName = "GARMIN_STRK.NVM";
inline constexpr const char* kActiveTrackFileName = "GARMIN_ATRK.NVM";

struct FileSet {
    std::filesystem::path waypoints;
    std::filesystem::path savedTracks;
    std::filesystem::path activeTrack;
};

FileSet makeFileSet(const std::filesystem::path& directory);

enum class ViewKind { Waypoints, Tracks };

// The hidden header fields of the main window ("File Version:", "Access count:",
// "Records:"), as texts; "Static" until a fill writes them.
struct HeaderFields {
    std::string fileVersion = "Static";
    std::string accessCount = "Static";
    std::string records = "Static";
};

struct AppState {
    FileSet files;
    int waypointTabPosition = 0;  // 1 when the "Way Points" tab exists (index 0)
    int tracksTabPosition = 0;    // 1-based index of the "Tracks" tab, 0 when absent
    std::vector<std::string> tabs;
    int currentTab = 0;

    std::uint32_t recordCount = 0;
    std::uint16_t fileVersion = 0;
    std::uint32_t accessCount = 0;
    HeaderFields headerFields;

    RecordList list;
    RecordBuffer recordBuffer;

    // Set by the fills of the waypoint and track views.
    std::optional<FileSnapshot> waypointSnapshot;
    std::optional<FileSnapshot> savedTracksSnapshot;
};

// The view of the current tab, or none when it matches neither tab position.
std::optional<ViewKind> currentView(const AppState& state);

}  // namespace quillet
