// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "edit/delete_records.h"

namespace quillet {

// The fields of the windows' status bar.
struct StatusFields {
    std::string rows;      // "40 rows", or "3 of 40 rows" while the filter hides some
    std::string selected;  // "2 selected"
    std::string folder;    // the folder of the device files
};

StatusFields statusFields(const AppState& state);

// The line after an export that wrote a file: "Wrote 3 waypoints to /home/ann/picked.gpx".
std::string wroteLine(ViewKind view, std::size_t records, const std::filesystem::path& file);
// The line after a deletion that removed records:
// "Deleted 2 waypoints; the old file is kept as GARMIN_WPT.BAK".
std::string deletedLine(ViewKind view, const DeleteResult& result);

}  // namespace quillet
