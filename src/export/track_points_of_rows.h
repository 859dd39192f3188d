// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "device/record_buffer.h"
#include "device/track_files.h"
#include "export/export_records.h"

namespace quillet {

// The points of one selected track, read from the device files with the very rules of
// the track export: the active track up to its header's count, a saved track up to its
// own count, each only as far as the file holds whole points.
struct TrackOfRow {
    std::int64_t number = 0;  // 0: the active track
    std::string name;         // UTF-8; "Active Track" for the active track
    std::uint8_t colour = 0;  // the display colour index (red for the active track)
    std::vector<TrackPoint> points;
};

struct TracksOfRows {
    std::vector<TrackOfRow> tracks;  // one per selected row, in list order
    // The device files that could not be opened (each named once); their tracks are
    // left out.
    std::vector<std::filesystem::path> unreadableFiles;
};

// The tracks of these numbers (0: the active track), in the order given. The
// saved-tracks file is walked once for all of them.
TracksOfRows readTrackPoints(const TrackSource& source, std::span<const std::int64_t> numbers);

}  // namespace quillet
