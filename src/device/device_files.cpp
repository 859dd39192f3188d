// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/device_files.h"

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

}  // namespace quillet
