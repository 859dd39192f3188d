// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// The selected rows of the view the list shows, as they stand when taken: the waypoints
// from their cells, and for the tracks their numbers, the bytes of the track files they
// are read from and the record buffer's content. Taking them reads each track file that
// is needed once, whole, and decodes no point; the points are read out of what was taken
// by `selection()`, on whichever thread asks first, so that a window leaves that to its
// worker. Nothing taken refers to the list, the device files or the application's
// buffer afterwards: a deletion, a restore or a new fill may go on meanwhile (no file is
// held open), and the preview shows the rows as they were when taken, with exactly the
// points the track export would have written then. Copies share what was taken.
class PreviewRows {
public:
    PreviewRows();  // nothing selected
    explicit PreviewRows(PreviewSelection ready);

    // The track files whose tracks are left out, known when taken.
    const std::vector<std::filesystem::path>& unreadableFiles() const;
    // Whether reading and laying out the rows is worth a worker thread: more than about
    // 50,000 points, as far as the sizes of what was taken tell before reading it. A
    // smaller selection takes a few milliseconds and is laid out at once.
    bool wantsAWorker() const;
    // The selection, read out of what was taken by the first call; every later call,
    // from any thread, gets the same.
    const PreviewSelection& selection() const;

private:
    struct Taken;
    friend PreviewRows takeSelectedRows(const ListState& state, std::optional<ViewKind> view);
    std::shared_ptr<Taken> taken_;
};

// A track file larger than this is not taken: its tracks are left out as unreadable.
// Device files are a few megabytes.
inline constexpr std::uint64_t kLargestTakenFile = 256ull << 20;

// The selected rows of the view; nothing without a view. The list and the files are
// read here, on the caller's thread.
PreviewRows takeSelectedRows(const ListState& state, std::optional<ViewKind> view);

// The selected rows of the waypoint view, from the coordinate cells the waypoint export
// writes. A waypoint whose cells hold no number is left out.
PreviewSelection readWaypointRows(const RecordList& list);

// The colour a saved track's display colour index names; black beyond the table.
Colour trackColour(std::uint8_t index);

}  // namespace quillet::preview
