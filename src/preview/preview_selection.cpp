// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/preview_selection.h"

#include <cmath>

#include "export/export_records.h"
#include "export/track_colours.h"
#include "export/track_points_of_rows.h"

namespace quillet::preview {

Colour trackColour(std::uint8_t index) {
    const TrackColour& colour = trackColourOf(index);
    return {colour.red, colour.green, colour.blue};
}

PreviewSelection readWaypointRows(const RecordList& list) {
    PreviewSelection selection;
    for (const std::size_t row : selectedRows(list)) {
        ExportWaypoint waypoint = waypointOfRow(list, row);
        if (std::isfinite(waypoint.latitude) && std::isfinite(waypoint.longitude)) {
            selection.waypoints.push_back(
                {std::move(waypoint.name), waypoint.latitude, waypoint.longitude});
        }
    }
    return selection;
}

PreviewSelection readTrackRows(const RecordList& list, const TrackFiles& files,
                               RecordBuffer& buffer) {
    PreviewSelection selection;
    TracksOfRows read = readSelectedTrackPoints(list, files.activeTrack, files.savedTracks, buffer);
    for (TrackOfRow& track : read.tracks) {
        selection.tracks.push_back(
            {std::move(track.name), trackColour(track.colour), std::move(track.points),
             track.number == 0});
    }
    selection.unreadableFiles = std::move(read.unreadableFiles);
    return selection;
}

PreviewSelection readSelectedRows(ListState& state, std::optional<ViewKind> view) {
    if (view == ViewKind::Waypoints) {
        return readWaypointRows(state.list);
    }
    if (view == ViewKind::Tracks) {
        return readTrackRows(state.list, {state.files.activeTrack, state.files.savedTracks},
                             state.recordBuffer);
    }
    return {};
}

}  // namespace quillet::preview
