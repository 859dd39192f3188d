// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The document's pieces written into the export's buffer; the stream functions of
// gpx_export.h wrap these.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "device/track_files.h"
#include "export/export_records.h"
#include "export/gpx_export.h"
#include "export/gpx_numbers.h"
#include "export/gpx_writer.h"
#include "ui/list_state.h"

namespace quillet {

void writeGpxHeader(GpxWriter& out);
void writeGpxName(GpxWriter& out, std::string_view deviceText);

void writeWaypoint(GpxWriter& out, GpxTimeFormatter& times, const ExportWaypoint& waypoint);
void writeWaypoint(GpxWriter& out, const RecordList& list, std::size_t row);

GpxExportReport writeSelectedTracks(GpxWriter& out, ListState& state);
bool writeTrack(GpxWriter& out, ListState& state, std::size_t row);
void writeTrackPoint(GpxWriter& out, GpxTimeFormatter& times, const TrackPoint& point);

// The number of a "#" cell read as a decimal integer: leading white space skipped, an
// optional sign, the digits up to the first other character; 0 without digits. Values
// beyond 32 bits are held at the 64-bit limits, so they name no track.
std::int64_t trackNumberOf(std::string_view text);
// The track a row names: the number its "#" cell shows, 0 for the active track.
std::int64_t trackNumberOfRow(const RecordList& list, std::size_t row);

}  // namespace quillet
