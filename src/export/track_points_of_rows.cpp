// The points the track export writes for the selected rows, gathered instead of written.

#include "export/track_points_of_rows.h"

#include <algorithm>
#include <map>
#include <optional>

#include "device/input_stream.h"
#include "export/gpx_body.h"

namespace quillet {

namespace {

void noteUnreadable(TracksOfRows& result, const std::filesystem::path& path) {
    if (std::find(result.unreadableFiles.begin(), result.unreadableFiles.end(), path) ==
        result.unreadableFiles.end()) {
        result.unreadableFiles.push_back(path);
    }
}

void readActiveTrack(InputStream& stream, RecordBuffer& buffer, TrackOfRow& track) {
    ActiveTrackReader reader(stream, buffer);
    const ActiveTrackHeader header = reader.readHeader();
    track.points.reserve(std::min<std::uint64_t>(
        header.pointCount, reader.remaining() / track_layout::kAlignedPointSize));
    forEachHeldPoint(reader, header.pointCount, [&](const TrackPoint& point) {
        track.points.push_back(point);
        return true;
    });
}

// One walk over the saved tracks: the wanted ones are decoded, the others skipped by
// their packed size. A track the file does not hold whole up to its points keeps no
// points.
void readSavedTracks(InputStream& stream, RecordBuffer& buffer,
                     std::map<std::int64_t, TrackOfRow*>& wanted) {
    SavedTrackReader reader(stream, buffer);
    const std::uint32_t trackCount = reader.readHeader();
    if (reader.atEndOfFile() || wanted.empty()) {
        return;
    }
    const std::int64_t last = std::min<std::int64_t>(wanted.rbegin()->first, trackCount);
    for (std::int64_t n = 1; n <= last; ++n) {
        if (reader.remaining() == 0) {
            return;
        }
        const TrackHeader header = reader.readTrackHeader();
        if (reader.atEndOfFile()) {
            return;
        }
        const auto found = wanted.find(n);
        if (found == wanted.end()) {
            reader.skipRemainingPoints();
            continue;
        }
        TrackOfRow& track = *found->second;
        track.name = header.name;
        track.colour = header.colour;
        const std::uint32_t held =
            forEachHeldPoint(reader, header.pointCount, [&](const TrackPoint& point) {
                track.points.push_back(point);
                return true;
            });
        if (held < header.pointCount) {
            return;  // the file ends inside this track
        }
    }
}

}  // namespace

TracksOfRows readSelectedTrackPoints(const RecordList& list,
                                     const std::filesystem::path& activeTrack,
                                     const std::filesystem::path& savedTracks,
                                     RecordBuffer& buffer) {
    TracksOfRows result;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        if (list.isSelected(row)) {
            TrackOfRow track;
            track.number = trackNumberOfRow(list, row);
            if (track.number == 0) {
                track.name = "Active Track";
            }
            result.tracks.push_back(std::move(track));
        }
    }

    std::map<std::int64_t, TrackOfRow*> saved;
    for (TrackOfRow& track : result.tracks) {
        if (track.number == 0) {
            std::optional<InputStream> stream = InputStream::open(activeTrack);
            if (stream) {
                readActiveTrack(*stream, buffer, track);
            } else {
                noteUnreadable(result, activeTrack);
            }
        } else if (track.number > 0) {
            saved.emplace(track.number, &track);
        }
    }
    if (!saved.empty()) {
        std::optional<InputStream> stream = InputStream::open(savedTracks);
        if (stream) {
            readSavedTracks(*stream, buffer, saved);
        } else {
            noteUnreadable(result, savedTracks);
        }
    }
    // Tracks whose file did not open are left out.
    std::erase_if(result.tracks, [&](const TrackOfRow& track) {
        const auto& path = track.number == 0 ? activeTrack : savedTracks;
        return std::find(result.unreadableFiles.begin(), result.unreadableFiles.end(), path) !=
               result.unreadableFiles.end();
    });
    return result;
}

}  // namespace quillet
