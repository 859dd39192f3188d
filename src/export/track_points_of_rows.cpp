// SPDX-License-Identifier: GPL-3.0-or-later
// The points the track export writes for the selected rows, gathered instead of written.

#include "export/track_points_of_rows.h"

#include "export/export_records.h"

namespace quillet {

namespace {

class TrackCollector : public RecordSink {
public:
    explicit TrackCollector(std::vector<TrackOfRow>& tracks) : tracks_(tracks) {}
    void waypoint(const ExportWaypoint&) override {}
    void startTrack(const ExportTrack& track) override {
        tracks_.push_back({track.number, track.name, track.colour, {}});
        // A million points are read without moving them on the way.
        tracks_.back().points.reserve(static_cast<std::size_t>(track.pointsAtMost));
    }
    bool point(const TrackPoint& point) override {
        tracks_.back().points.push_back(point);
        return true;
    }
    void endTrack() override {}

private:
    std::vector<TrackOfRow>& tracks_;
};

}  // namespace

TracksOfRows readTrackPoints(const TrackSource& source, std::span<const std::int64_t> numbers) {
    TracksOfRows result;
    TrackCollector collector(result.tracks);
    result.unreadableFiles = readTrackRecords(source, numbers, collector).unreadableFiles;
    return result;
}

}  // namespace quillet
