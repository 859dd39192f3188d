// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/track_view.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "device/device_files.h"
#include "device/device_time.h"
#include "device/input_stream.h"
#include "device/number_text.h"
#include "device/record_buffer.h"
#include "device/time_zone.h"
#include "device/track_files.h"
#include "text/translation.h"
#include "ui/track_columns.h"
#include "views/view_text.h"

namespace quillet {

namespace {

using namespace track_columns;

const Column kColumns[] = {
    // The headings are the English keys of sorting and of the command line; a window
    // shows them translated.
    {" ", Alignment::Center, 0},
    {"#", Alignment::Center, 30, SortKind::Number},
    {QUILLET_TEXT("Name"), Alignment::Left, 200},
    {QUILLET_TEXT("Points"), Alignment::Left, 60, SortKind::Number},
    {QUILLET_TEXT("Start Time"), Alignment::Left, 150},
    {QUILLET_TEXT("Finish Time"), Alignment::Left, 150},
};
static_assert(std::size(kColumns) == kCount);

constexpr std::string_view kActiveTrackNumberText = " 0";
constexpr std::string_view kActiveTrackName = "Active track";

// The points of a track the file holds whole: how many, the first and the last.
struct HeldPoints {
    std::uint32_t count = 0;
    std::optional<TrackPoint> first;
    std::optional<TrackPoint> last;
};

// Points, Start Time and Finish Time of row 0: they describe exactly the points that an
// export of the row writes.
void setPointCells(RecordList& list, const HeldPoints& points, const TimeZone& zone) {
    list.setText(0, kPoints, signedDecimal(points.count));
    if (points.first) {
        list.setText(0, kStart, formatZonedTime(points.first->time, zone));
    }
    if (points.last) {
        list.setText(0, kFinish, formatZonedTime(points.last->time, zone));
    }
}

template <typename Reader>
HeldPoints walkHeldPoints(Reader& reader, std::uint32_t pointCount) {
    HeldPoints points;
    points.count = forEachHeldPoint(reader, pointCount, [&](const TrackPoint& point) {
        if (!points.first) {
            points.first = point;
        }
        points.last = point;
        return true;
    });
    return points;
}

// Reads the active track's records exactly as ActiveTrackReader does, but hands each
// body on undecoded: the row decodes only its first and its last point.
class ActiveBodyReader {
public:
    ActiveBodyReader(InputStream& stream, RecordBuffer& buffer)
        : stream_(stream), buffer_(buffer) {}

    std::array<std::uint8_t, 12> readPoint() {
        readRecord(stream_, buffer_);
        std::array<std::uint8_t, 12> body;
        std::memcpy(body.data(), buffer_.bytes.data(), body.size());
        return body;
    }
    bool atEndOfFile() const { return stream_.atEnd(); }
    std::uint64_t remaining() const { return stream_.remaining(); }

private:
    InputStream& stream_;
    RecordBuffer& buffer_;
};

HeldPoints activeHeldPoints(InputStream& stream, RecordBuffer& buffer, std::uint32_t pointCount) {
    ActiveBodyReader reader(stream, buffer);
    std::array<std::uint8_t, 12> last{};
    HeldPoints points;
    points.count =
        forEachHeldPoint(reader, pointCount, [&](const std::array<std::uint8_t, 12>& body) {
            if (!points.first) {
                points.first = decodeActivePoint(body);
            }
            last = body;
            return true;
        });
    if (points.count > 0) {
        points.last = decodeActivePoint(last);
    }
    return points;
}

void fillActiveTrackRow(ListState& state, InputStream& stream) {
    ActiveTrackReader reader(stream, state.recordBuffer);
    const ActiveTrackHeader header = reader.readHeader();
    state.fileVersion = header.version;
    state.recordCount = header.pointCount;
    state.headerFields.fileVersion = std::to_string(header.version);
    state.headerFields.records = signedDecimal(header.pointCount);

    RecordList& list = state.list;
    list.insertRow();
    list.setText(0, kNumber, std::string(kActiveTrackNumberText));
    list.setText(0, kName, std::string(kActiveTrackName));
    // The active track's records are length-framed, so they are walked one by one.
    setPointCells(list, activeHeldPoints(stream, state.recordBuffer, header.pointCount),
                  state.timeZone);
}

// The points of the saved track whose header was just read, leaving the stream where the
// track ends (or at the end of the file). A track of more than eight points that the
// file holds whole is not decoded point by point: after its first point the stream
// jumps to the group of eight that holds the last point and unpacks that group up to
// it, which gives exactly the points a full walk gives. Any other track is walked.
HeldPoints readSavedTrackPoints(InputStream& stream, SavedTrackReader& reader,
                                std::uint16_t pointCount) {
    using track_layout::kAlignedPointSize;
    using track_layout::kGroupSize;

    if (pointCount <= 8 || stream.remaining() < packedSize(pointCount)) {
        return walkHeldPoints(reader, pointCount);
    }
    HeldPoints points;
    points.count = pointCount;
    points.first = reader.readPoint();

    const std::uint32_t lastIndex = pointCount - 1u;
    const std::uint32_t lastGroup = lastIndex / 8;
    stream.skip(kGroupSize * lastGroup - kAlignedPointSize);
    PointUnpacker unpacker;
    std::array<std::uint8_t, kAlignedPointSize> aligned{};
    for (std::uint32_t slot = 0; slot <= lastIndex % 8; ++slot) {
        aligned = unpacker.next(stream);
    }
    points.last = decodeSavedPoint(aligned);
    return points;
}

// False, with no rows left, for a file holding more tracks than a list holds rows.
bool fillSavedTrackRows(ListState& state, InputStream& stream, std::uint32_t& trackCount) {
    SavedTrackReader reader(stream, state.recordBuffer);
    trackCount = reader.readHeader();
    state.savedTracksSnapshot = takeSnapshot(state.files.savedTracks, trackCount);

    // A row for every counted track of which the file holds a byte: the work is bounded
    // by the file's size, whatever the header counts.
    RecordList& list = state.list;
    for (std::uint64_t n = 1; n <= trackCount && stream.remaining() > 0; ++n) {
        if (n > RecordList::kMaxRows) {
            list.removeAllRows();
            return false;
        }
        list.insertRow();
        list.setItemNumber(0, static_cast<std::int32_t>(n));
        list.setText(0, kNumber, numberText(n));
        TrackHeader header = reader.readTrackHeader();
        list.setText(0, kName, std::move(header.name));
        setPointCells(list, readSavedTrackPoints(stream, reader, header.pointCount),
                      state.timeZone);
    }
    return true;
}

}  // namespace

void fillTrackView(ListState& state, UserInterface& ui) {
    for (const Column& column : kColumns) {
        state.list.addColumn(column);
    }

    // Both files are opened before either is read; one that does not open is skipped.
    std::optional<InputStream> active = InputStream::open(state.files.activeTrack);
    std::optional<InputStream> saved = InputStream::open(state.files.savedTracks);
    const bool activeCut = active && active->size() < kDeviceHeaderSize;
    const bool savedCut = saved && saved->size() < kDeviceHeaderSize;
    if (active) {
        fillActiveTrackRow(state, *active);
    }
    std::uint32_t trackCount = 0;
    const bool tooMany = saved && !fillSavedTrackRows(state, *saved, trackCount);
    if (!saved) {
        state.savedTracksSnapshot.reset();
    }
    if (activeCut) {
        ui.showMessage(shortHeaderMessage(kActiveTrackFileName, QUILLET_TEXT("track points")),
                       kTitleText, Buttons::Ok, Icon::None);
    }
    if (savedCut) {
        ui.showMessage(shortHeaderMessage(kSavedTracksFileName, QUILLET_TEXT("saved tracks")),
                       kTitleText, Buttons::Ok, Icon::None);
    }
    if (tooMany) {
        ui.showMessage(
            tooManyRowsMessage(kSavedTracksFileName, trackCount, QUILLET_TEXT("saved tracks")),
            kTitleText, Buttons::Ok, Icon::None);
    }
}

}  // namespace quillet
