// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lists, states and checks shared by the GPX export tests.

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"

namespace quillet::testing {

// The two lines every document starts with.
inline constexpr std::string_view kGpxHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
    "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" creator=\"Quillet  1.0\" version=\"1.1\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.garmin.com/xmlschemas/GpxExtensions/v3 "
    "http://www.garmin.com/xmlschemas/GpxExtensions/v3/GpxExtensionsv3.xsd "
    "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">\n";

// The cells of one waypoint row as the waypoint view shows them.
struct WaypointCells {
    std::string name;
    std::string symbol;
    std::string latitude = "55.0230965";
    std::string longitude = "14.3999871";
    std::string elevation;
    std::string time = "2010-06-29  14:03:07 ";
    std::set<int> categories;  // 1 to 16
};

// A state whose current tab shows waypoints (tab 0) or tracks (tab 1), files in `dir`.
AppState waypointState(const std::filesystem::path& dir = {});
AppState trackState(const std::filesystem::path& dir);

// Fills the list with the 24 waypoint columns and one row per entry, top to bottom;
// row i carries item number i + 1.
void setWaypointRows(RecordList& list, const std::vector<WaypointCells>& rows);
// Fills the list with the six track columns and one row per "#" text, top to bottom.
void setTrackRows(RecordList& list, const std::vector<std::string>& numbers);
void selectAll(RecordList& list);

// The whole document for the state's selection, as a text.
std::string exportText(AppState& state);

// True or false from `xmllint --noout --schema`, with its output in `log`; nothing when
// xmllint is not installed.
std::optional<bool> validatesAgainstSchema(const std::filesystem::path& gpx, std::string& log);
bool haveProgram(const char* name);

}  // namespace quillet::testing
