// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/preview_selection.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "device/record_buffer.h"
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

struct PreviewRows::Taken {
    // What is known when taken.
    std::vector<std::filesystem::path> unreadableFiles;
    std::uint64_t sizeInPoints = 0;  // about how many, from the sizes of what was taken

    // What the first selection() reads the tracks from, and then lets go of.
    std::vector<std::int64_t> trackNumbers;
    std::filesystem::path activeTrack;
    std::filesystem::path savedTracks;
    TrackFileBytes bytes;
    RecordBuffer buffer;

    std::once_flag read;
    PreviewSelection selection;  // the waypoints from the start; the tracks once read
};

namespace {

// A saved point takes 12 bytes or a little more, an active one 14 as the device writes it.
constexpr std::uint64_t kBytesPerPoint = 12;
constexpr std::uint64_t kWorkerPoints = 50'000;

}  // namespace

PreviewRows::PreviewRows() : PreviewRows(PreviewSelection{}) {}

PreviewRows::PreviewRows(PreviewSelection ready) : taken_(std::make_shared<Taken>()) {
    taken_->unreadableFiles = ready.unreadableFiles;
    taken_->sizeInPoints = ready.waypoints.size();
    for (const PreviewTrack& track : ready.tracks) {
        taken_->sizeInPoints += track.points.size();
    }
    taken_->selection = std::move(ready);
}

const std::vector<std::filesystem::path>& PreviewRows::unreadableFiles() const {
    return taken_->unreadableFiles;
}

bool PreviewRows::wantsAWorker() const {
    return taken_->sizeInPoints > kWorkerPoints;
}

const PreviewSelection& PreviewRows::selection() const {
    Taken& taken = *taken_;
    std::call_once(taken.read, [&] {
        if (taken.trackNumbers.empty()) {
            return;
        }
        TracksOfRows read = readTrackPoints(
            {taken.activeTrack, taken.savedTracks, taken.buffer, nullptr, &taken.bytes},
            taken.trackNumbers);
        for (TrackOfRow& track : read.tracks) {
            taken.selection.tracks.push_back({std::move(track.name), trackColour(track.colour),
                                              std::move(track.points), track.number == 0});
        }
        taken.trackNumbers = {};
        taken.bytes = {};  // the file bytes are not needed again
    });
    return taken.selection;
}

PreviewRows takeSelectedRows(const ListState& state, std::optional<ViewKind> view) {
    if (view == ViewKind::Waypoints) {
        return PreviewRows(readWaypointRows(state.list));
    }
    PreviewRows rows;
    if (view != ViewKind::Tracks) {
        return rows;
    }
    PreviewRows::Taken& taken = *rows.taken_;
    taken.trackNumbers = trackNumbersOfRows(state.list, selectedRows(state.list));
    taken.activeTrack = state.files.activeTrack;
    taken.savedTracks = state.files.savedTracks;
    taken.buffer = state.recordBuffer;
    // Each file once, in the order the tracks name them; one that cannot be read is named
    // once, as the reading of the tracks would name it.
    std::vector<const std::filesystem::path*> tried;
    for (const std::int64_t number : taken.trackNumbers) {
        const bool active = number == 0;
        const std::filesystem::path& path = active ? taken.activeTrack : taken.savedTracks;
        if (std::find(tried.begin(), tried.end(), &path) != tried.end()) {
            continue;
        }
        tried.push_back(&path);
        InputStream::Bytes bytes = readFileBytes(path, kLargestTakenFile);
        if (bytes != nullptr) {
            taken.sizeInPoints += bytes->size() / kBytesPerPoint;
        } else {
            taken.unreadableFiles.push_back(path);
        }
        (active ? taken.bytes.activeTrack : taken.bytes.savedTracks) = std::move(bytes);
    }
    taken.selection.unreadableFiles = taken.unreadableFiles;
    return rows;
}

}  // namespace quillet::preview
