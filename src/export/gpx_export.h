// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "device/track_files.h"
#include "ui/command_outcome.h"
#include "ui/list_state.h"
#include "ui/user_interface.h"

namespace quillet {

inline constexpr std::string_view kGpxExtensionsNamespace =
    "http://www.garmin.com/xmlschemas/GpxExtensions/v3";

inline constexpr std::string_view kCreateGpxFailedMessage = "Unable to create GPX File";

// What a document could not take in: the device files that could not be opened when
// their tracks were to be written (each named once; those tracks are left out, the
// document stays valid without them), and whether the output refused a write.
struct GpxExportReport {
    std::vector<std::filesystem::path> unreadableFiles;
    bool writeFailed = false;  // the output stream refused a write
    int writeError = 0;        // the system's reason then (errno), 0 when unknown
    // Points written with a latitude or longitude outside the ranges GPX allows (from a
    // damaged or odd device file): the document holds them as they are, and some GPX
    // readers refuse it.
    std::size_t pointsOutOfRange = 0;
};

// What "Make GPX" did, and how many of the points it wrote lie outside the GPX ranges.
// Made from an outcome alone where nothing was written.
struct MakeGpxResult {
    MakeGpxResult(CommandOutcome outcome, std::size_t pointsOutOfRange = 0)
        : outcome(outcome), pointsOutOfRange(pointsOutOfRange) {}
    CommandOutcome outcome;
    std::size_t pointsOutOfRange;
};

// "Unable to open file PATH", one line for every device file the export could not read.
std::string unreadableFilesLines(const GpxExportReport& report);

// The whole GPX document for the selected rows of the view (header, body, end tag);
// without a view, an empty document.
GpxExportReport writeGpxDocument(std::ostream& out, ListState& state, std::optional<ViewKind> view);

// "2010-06-29  14:03:07 " -> "2010-06-29T14:03:07Z". The characters are moved as they
// are; a text of fewer than 20 characters (no calendar text) gives the empty text.
std::string toGpxTime(std::string_view calendarText);
void writeWaypoint(std::ostream& out, const RecordList& list, std::size_t row);

GpxExportReport writeSelectedTracks(std::ostream& out, ListState& state);
// False when the track's device file could not be opened: then nothing is written.
bool writeTrack(std::ostream& out, ListState& state, std::size_t row);
void writeTrackPoint(std::ostream& out, const TrackPoint& point);
std::string_view trackColorName(std::uint8_t colour);

}  // namespace quillet
