// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The selected records of a view as typed values: what every export format and the
// preview read, so that none of them parses the list's texts on its own.

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/device_time.h"
#include "device/input_stream.h"
#include "device/track_files.h"
#include "ui/list_state.h"

namespace quillet {

// A waypoint as its row shows it: the values its cells give (a row that shares the texts
// of the record before it gives those), and the record's own time.
struct ExportWaypoint {
    double latitude = 0;  // not a number when the cell holds none
    double longitude = 0;
    std::optional<int> elevation;    // whole metres
    std::optional<DeviceTime> time;  // UTC; none when it has no calendar text
    std::string name;                // UTF-8
    std::string symbol;              // the symbol's name, empty for none
    std::bitset<17> categories;      // categories[k] for k = 1..16
};

// The display colour index the active track is drawn and exported in ("Red").
inline constexpr std::uint8_t kActiveTrackColour = 9;

// A track as the export writes it. A row whose number names no track of the file gives
// a track without a header: no name, no colour, no points.
struct ExportTrack {
    std::int64_t number = 0;  // 0: the active track
    bool hasHeader = true;
    std::string name;         // UTF-8
    std::uint8_t colour = 0;  // display colour index (kActiveTrackColour for the active one)
    // At most this many points follow: the header's count, as far as the rest of the
    // file can hold that many (room to reserve, never a promise).
    std::uint64_t pointsAtMost = 0;
};

// What a writer gets, in this order: the waypoints, then for each track its start, its
// points in file order and its end.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void waypoint(const ExportWaypoint& waypoint) = 0;
    virtual void startTrack(const ExportTrack& track) = 0;
    // False stops the track's points (the output failed).
    virtual bool point(const TrackPoint& point) = 0;
    virtual void endTrack() = 0;
};

struct RecordsRead {
    // The device files that could not be opened (each named once); their tracks are
    // left out.
    std::vector<std::filesystem::path> unreadableFiles;
};

// The positions of the selected rows, from the top.
std::vector<std::size_t> selectedRows(const RecordList& list);
// The positions of every row, by item number ("#" order; the active track first).
std::vector<std::size_t> rowsByItemNumber(const RecordList& list);

// The waypoint of one row of the waypoint view.
ExportWaypoint waypointOfRow(const RecordList& list, std::size_t row);

// The records of the rows of the view, in the order given, handed to the sink. The
// tracks' points are read again from the device files by the rules of the list's own
// walk: the active track up to its header's count, a saved track up to its own count,
// each only as far as the file holds whole points; reading the active track stores its
// header's count in `state.recordCount` again.
RecordsRead readRecords(ListState& state, ViewKind view, std::span<const std::size_t> rows,
                        RecordSink& sink);

// The bytes of the two track files, read beforehand; null for a file that could not be
// read.
struct TrackFileBytes {
    InputStream::Bytes activeTrack;
    InputStream::Bytes savedTracks;
};

// Where the tracks' records are read from: the files, or the bytes read from them before.
struct TrackSource {
    const std::filesystem::path& activeTrack;
    const std::filesystem::path& savedTracks;
    RecordBuffer& buffer;
    std::uint32_t* activePointCount = nullptr;  // gets the active track header's count
    const TrackFileBytes* heldBytes = nullptr;  // read instead of the files when given
};
// The tracks of these numbers (0: the active track), in the order given. A file that
// cannot be opened, or whose bytes are not held, is named among the unreadable ones.
RecordsRead readTrackRecords(TrackSource source, std::span<const std::int64_t> numbers,
                             RecordSink& sink);
// The track numbers the rows show, in the order given.
std::vector<std::int64_t> trackNumbersOfRows(const RecordList& list,
                                             std::span<const std::size_t> rows);

// The device files that the records of these rows are read from and that cannot be
// opened now (each named once).
std::vector<std::filesystem::path> unopenableFiles(const ListState& state, ViewKind view,
                                                   std::span<const std::size_t> rows);

}  // namespace quillet
