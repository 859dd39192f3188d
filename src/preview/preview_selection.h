// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "device/record_buffer.h"
#include "device/track_files.h"
#include "preview/preview_scene.h"
#include "ui/list_state.h"
#include "ui/record_list.h"

namespace quillet::preview {

struct PreviewTrack {
    std::string name;  // UTF-8
    Colour colour;     // the display colour; red for the active track
    std::vector<TrackPoint> points;
    bool active = false;  // the active track, drawn dashed
};

struct PreviewWaypoint {
    std::string name;  // UTF-8
    double latitude = 0;
    double longitude = 0;
};

// What the selected rows of the current view hold, ready to be drawn.
struct PreviewSelection {
    std::vector<PreviewTrack> tracks;
    std::vector<PreviewWaypoint> waypoints;
    // Track files that could not be opened; their tracks are left out.
    std::vector<std::filesystem::path> unreadableFiles;
};

// The device files the track view's rows are read from.
struct TrackFiles {
    std::filesystem::path activeTrack;
    std::filesystem::path savedTracks;
};

// The selected rows of the waypoint view, from the coordinate cells the waypoint export
// writes. A waypoint whose cells hold no number is left out.
PreviewSelection readWaypointRows(const RecordList& list);
// The selected rows of the track view, read again from the device files: exactly the
// points the track export writes.
PreviewSelection readTrackRows(const RecordList& list, const TrackFiles& files,
                               RecordBuffer& buffer);

// The selected rows of the view the list shows; nothing without a view.
PreviewSelection readSelectedRows(ListState& state, std::optional<ViewKind> view);

// The colour a saved track's display colour index names; black beyond the table.
Colour trackColour(std::uint8_t index);

}  // namespace quillet::preview
