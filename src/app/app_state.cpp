#include "app/app_state.h"

#include <system_error>

namespace quillet {

FileSet makeFileSet(const std::filesystem::path& given) {
    // The paths are fixed for the whole run, so a relative folder is resolved now: a
    // later change of the current directory must not move the device files.
    std::error_code error;
    std::filesystem::path directory = std::filesystem::absolute(given, error);
    if (error) {
        directory = given;
    }
    return FileSet{
        .waypoints = directory / kWaypointFileName,
        .savedTracks = directory / kSavedTracksFileName,
        .activeTrack = directory / kActiveTrackFileName,
    };
}

std::optional<ViewKind> currentView(const AppState& state) {
    const int position = state.currentTab + 1;
    if (state.waypointTabPosition != 0 && state.waypointTabPosition == position) {
        return ViewKind::Waypoints;
    }
    if (state.tracksTabPosition != 0 && state.tracksTabPosition == position) {
        return ViewKind::Tracks;
    }
    return std::nullopt;
}

}  // namespace quillet
