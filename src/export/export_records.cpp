// SPDX-License-Identifier: GPL-3.0-or-later
// The typed records of the selected rows: waypoints from their cells and their row's
// time, tracks read again from the device files and streamed to the sink point by point.

#include "export/export_records.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>

#include "device/code_page.h"
#include "device/input_stream.h"
#include "export/gpx_body.h"
#include "ui/track_columns.h"
#include "ui/waypoint_columns.h"

namespace quillet {

namespace {

// How many bytes of a cell the export reads, as the platform's buffers of the list did.
constexpr std::size_t kCoordinateBytes = 199;
constexpr std::size_t kTextBytes = 99;
constexpr std::size_t kCategoryBytes = 2;
constexpr std::size_t kNumberBytes = 19;

// A coordinate cell as the number it was written from; not a number when it holds none.
double coordinateOf(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return value;
}

std::optional<int> elevationOf(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool hasCalendarText(DeviceTime time) {
    char text[kCalendarTextSize];
    return writeDeviceTime(text, time) != text;
}

void noteUnreadable(RecordsRead& read, const std::filesystem::path& path) {
    if (std::find(read.unreadableFiles.begin(), read.unreadableFiles.end(), path) ==
        read.unreadableFiles.end()) {
        read.unreadableFiles.push_back(path);
    }
}

template <typename Reader>
void sendHeldPoints(RecordSink& sink, Reader& reader, std::uint32_t pointCount) {
    forEachHeldPoint(reader, pointCount,
                     [&](const TrackPoint& point) { return sink.point(point); });
}

// The active track: every point the file holds whole, up to its header's count.
void readActiveTrack(RecordSink& sink, TrackSource& source, InputStream& stream) {
    ActiveTrackReader reader(stream, source.buffer);
    const ActiveTrackHeader header = reader.readHeader();
    // Every point record takes its length word at least.
    sink.startTrack(
        {.number = 0,
         .hasHeader = true,
         .name = "Active Track",
         .colour = kActiveTrackColour,
         .pointsAtMost = std::min<std::uint64_t>(header.pointCount, reader.remaining() / 2)});
    if (source.activePointCount != nullptr) {
        *source.activePointCount = header.pointCount;
    }
    sendHeldPoints(sink, reader, header.pointCount);
    sink.endTrack();
}

// Where the saved tracks' headers begin, as far as the reading has walked the file:
// headerOffsets[n - 1] is the position of track n's header. A selection of many tracks
// then walks the file once instead of once per track. It holds only for the file it
// was taken from, recognised by its size and track count.
struct SavedTrackWalk {
    std::uint64_t fileSize = 0;
    std::uint32_t trackCount = 0;
    std::vector<std::uint64_t> headerOffsets;
};

// Saved track t (1-based): the headers before it are walked and their points skipped
// by their packed size; only the points of track t are decoded. A track whose header
// the file holds only in part holds no points: it comes with the name and colour read
// as far as the file goes, as the list shows them. A number the file holds no track for
// gives a track without a header.
void readSavedTrack(RecordSink& sink, TrackSource& source, InputStream& stream,
                    std::int64_t trackNumber, SavedTrackWalk& walk) {
    const ExportTrack none{.number = trackNumber, .hasHeader = false, .name = {}, .colour = 0};
    SavedTrackReader reader(stream, source.buffer);
    const std::uint32_t trackCount = reader.readHeader();
    if (reader.atEndOfFile() || trackNumber < 1 || trackNumber > trackCount) {
        sink.startTrack(none);
        sink.endTrack();
        return;
    }
    if (walk.fileSize != stream.size() || walk.trackCount != trackCount) {
        walk = {stream.size(), trackCount, {}};
    }
    // The walk goes on from the last known header before track t (or t itself when it is
    // the first), so that a header of track t that the file holds only in part takes the
    // fields it lacks from the header before it, as the list's walk does.
    std::int64_t n = 1;
    if (!walk.headerOffsets.empty()) {
        n = std::clamp<std::int64_t>(trackNumber - 1, 1,
                                     static_cast<std::int64_t>(walk.headerOffsets.size()));
        stream.skip(walk.headerOffsets[static_cast<std::size_t>(n) - 1] - stream.position());
    }
    for (;; ++n) {
        if (reader.remaining() == 0) {
            break;
        }
        if (static_cast<std::size_t>(n) > walk.headerOffsets.size()) {
            walk.headerOffsets.push_back(stream.position());
        }
        const TrackHeader header = reader.readTrackHeader();
        if (n < trackNumber) {
            if (reader.atEndOfFile()) {
                break;
            }
            reader.skipRemainingPoints();
            continue;
        }
        // A packed point takes 12 bytes at least.
        sink.startTrack(
            {.number = trackNumber,
             .hasHeader = true,
             .name = deviceTextToUtf8(header.name),
             .colour = header.colour,
             .pointsAtMost = std::min<std::uint64_t>(header.pointCount, reader.remaining() / 12)});
        sendHeldPoints(sink, reader, header.pointCount);
        sink.endTrack();
        return;
    }
    sink.startTrack(none);
    sink.endTrack();
}

void readWaypoints(const RecordList& list, std::span<const std::size_t> rows, RecordSink& sink) {
    ExportWaypoint waypoint;
    for (const std::size_t row : rows) {
        waypoint = waypointOfRow(list, row);
        sink.waypoint(waypoint);
    }
}

const std::filesystem::path& fileOfTrack(const ListState& state, std::int64_t number) {
    return number == 0 ? state.files.activeTrack : state.files.savedTracks;
}

}  // namespace

RecordsRead readTrackRecords(TrackSource source, std::span<const std::int64_t> numbers,
                             RecordSink& sink) {
    RecordsRead read;
    const auto fileOf = [&](std::int64_t number) -> const std::filesystem::path& {
        return number == 0 ? source.activeTrack : source.savedTracks;
    };
    const auto open = [&](std::int64_t number) -> std::optional<InputStream> {
        if (source.heldBytes == nullptr) {
            return InputStream::open(fileOf(number));
        }
        const InputStream::Bytes& bytes =
            number == 0 ? source.heldBytes->activeTrack : source.heldBytes->savedTracks;
        if (bytes == nullptr) {
            return std::nullopt;
        }
        return InputStream::fromBytes(bytes);
    };
    SavedTrackWalk walk;
    for (const std::int64_t number : numbers) {
        std::optional<InputStream> stream = open(number);
        if (!stream) {
            noteUnreadable(read, fileOf(number));
        } else if (number == 0) {
            readActiveTrack(sink, source, *stream);
        } else {
            readSavedTrack(sink, source, *stream, number, walk);
        }
    }
    return read;
}

std::vector<std::int64_t> trackNumbersOfRows(const RecordList& list,
                                             std::span<const std::size_t> rows) {
    std::vector<std::int64_t> numbers;
    numbers.reserve(rows.size());
    for (const std::size_t row : rows) {
        numbers.push_back(trackNumberOfRow(list, row));
    }
    return numbers;
}

std::int64_t trackNumberOfRow(const RecordList& list, std::size_t row) {
    return trackNumberOf(list.text(row, track_columns::kNumber, kNumberBytes));
}

std::int64_t trackNumberOf(std::string_view text) {
    std::size_t i = 0;
    const auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
    }
    return negative ? -value : value;
}

std::vector<std::size_t> selectedRows(const RecordList& list) {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        if (list.isSelected(row)) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<std::size_t> rowsByItemNumber(const RecordList& list) {
    std::vector<std::size_t> rows(list.rowCount());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
    std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
        return list.itemNumber(a) < list.itemNumber(b);
    });
    return rows;
}

ExportWaypoint waypointOfRow(const RecordList& list, std::size_t row) {
    using namespace waypoint_columns;
    const auto cell = [&](std::size_t column, std::size_t bytes) {
        return list.text(row, column, bytes);
    };
    ExportWaypoint waypoint;
    waypoint.latitude = coordinateOf(cell(kLatitude, kCoordinateBytes));
    waypoint.longitude = coordinateOf(cell(kLongitude, kCoordinateBytes));
    waypoint.elevation = elevationOf(cell(kElevation, kTextBytes));
    if (const DeviceTime time = list.time(row); hasCalendarText(time)) {
        waypoint.time = time;
    }
    // The whole name: a UTF-8 name can take three bytes per character.
    waypoint.name = deviceTextToUtf8(list.text(row, kName));
    waypoint.symbol = cell(kSymbol, kTextBytes);
    for (int k = 1; k <= kCategories; ++k) {
        waypoint.categories[static_cast<std::size_t>(k)] =
            cell(kFirstCategory + static_cast<std::size_t>(k) - 1, kCategoryBytes) == "+";
    }
    return waypoint;
}

RecordsRead readRecords(ListState& state, ViewKind view, std::span<const std::size_t> rows,
                        RecordSink& sink) {
    if (view == ViewKind::Waypoints) {
        readWaypoints(state.list, rows, sink);
        return {};
    }
    return readTrackRecords(
        {state.files.activeTrack, state.files.savedTracks, state.recordBuffer, &state.recordCount},
        trackNumbersOfRows(state.list, rows), sink);
}

std::vector<std::filesystem::path> unopenableFiles(const ListState& state, ViewKind view,
                                                   std::span<const std::size_t> rows) {
    std::vector<std::filesystem::path> files;
    if (view == ViewKind::Waypoints) {
        return files;  // read from the list alone
    }
    std::vector<const std::filesystem::path*> tried;
    for (const std::size_t row : rows) {
        const auto& path = fileOfTrack(state, trackNumberOfRow(state.list, row));
        if (std::find(tried.begin(), tried.end(), &path) == tried.end()) {
            tried.push_back(&path);
            if (!InputStream::open(path)) {
                files.push_back(path);
            }
        }
    }
    return files;
}

}  // namespace quillet
