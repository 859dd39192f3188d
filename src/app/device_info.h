// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"

namespace quillet {

// The header values of one device file.
struct DeviceFileInfo {
    std::string fileName;                      // "GARMIN_WPT.NVM", ...
    std::uint16_t version = 0;                 // the version word; the first byte for STRK
    std::optional<std::uint32_t> accessCount;  // the waypoint file only
    std::uint32_t count = 0;                   // records, active-track points or saved tracks
};

// The header values of every device file that opens, in the order in which start-up
// opens them (waypoints, active track, saved tracks). The headers are read with the
// device readers; the bytes a file shorter than its header lacks read as zeros.
std::vector<DeviceFileInfo> readDeviceInfo(const FileSet& files);

}  // namespace quillet
