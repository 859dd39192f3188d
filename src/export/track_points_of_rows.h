// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "device/record_buffer.h"
#include "device/track_files.h"
#include "ui/record_list.h"

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

// Every selected row of the track view's list, from the two track files. The
// saved-tracks file is walked once for all of them.
TracksOfRows readSelectedTrackPoints(const RecordList& list,
                                     const std::filesystem::path& activeTrack,
                                     const std::filesystem::path& savedTracks,
                                     RecordBuffer& buffer);

}  // namespace quillet
