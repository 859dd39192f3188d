#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "app/command_outcome.h"
#include "app/user_interface.h"
#include "device/track_files.h"

namespace quillet {

inline constexpr std::string_view kGpxExtensionsNamespace =
    "http://www.garmin.com/xmlschemas/GpxExtensions/v3";

// "Make GPX": selection check, save dialog, file creation, the whole document.
CommandOutcome onMakeGpx(AppState& state, UserInterface& ui);

// The whole document for the selected rows of the current view (header, body, end tag).
void writeGpxDocument(std::ostream& out, AppState& state);

void writeGpxHeader(std::ostream& out);
// "2010-06-29  14:03:07 " -> "2010-06-29T14:03:07Z"
std::string toGpxTime(std::string_view calendarText);
void writeWaypoint(std::ostream& out, const RecordList& list, std::size_t row);

void writeSelectedTracks(std::ostream& out, AppState& state);
void writeTrack(std::ostream& out, AppState& state, std::size_t row);
void writeTrackPoint(std::ostream& out, const TrackPoint& point);
std::string_view trackColorName(std::uint8_t colour);

// A device-code-page name as GPX text: converted to UTF-8, '&', '<', '>' escaped,
// bytes below 0x20 written as '?'.
std::string gpxNameText(std::string_view deviceText);

}  // namespace quillet
