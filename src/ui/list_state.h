// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/device_files.h"
#include "device/file_snapshot.h"
#include "device/record_buffer.h"
#include "device/time_zone.h"
#include "ui/record_list.h"

namespace quillet {

enum class ViewKind { Waypoints, Tracks };

// The hidden header fields of the main window ("File Version:", "Access count:",
// "Records:"), as texts; "Static" until a fill writes them.
struct HeaderFields {
    std::string fileVersion = "Static";
    std::string accessCount = "Static";
    std::string records = "Static";
};

// The list and what it was filled from: the views fill it, the export and the deletion
// read the rows back and go to the same device files.
struct ListState {
    FileSet files;

    // What the last fill read from its file's header, as values and as the texts of the
    // main window's hidden fields. Neither front end shows them; the export of the
    // active track stores its point count again.
    std::uint32_t recordCount = 0;
    std::uint16_t fileVersion = 0;
    std::uint32_t accessCount = 0;
    HeaderFields headerFields;

    RecordList list;
    RecordBuffer recordBuffer;

    // The zone the fills write the list's times in. What must stay UTC (every export)
    // takes each row's own UTC time, which the fills keep beside its texts.
    TimeZone timeZone;

    // Set by the fills of the waypoint and track views.
    std::optional<FileSnapshot> waypointSnapshot;
    std::optional<FileSnapshot> savedTracksSnapshot;
};

}  // namespace quillet
