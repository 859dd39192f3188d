#include "views/track_view.h"

#include <cstdint>
#include <optional>
#include <string>

#include "device/device_time.h"
#include "device/input_stream.h"
#include "device/track_files.h"
#include "views/view_text.h"

namespace quillet {

namespace {

constexpr std::string_view kShortActiveHeaderMessage =
    "GARMIN_ATRK.NVM is shorter than its 16-byte header and holds no track points.\n"
    "Copy the file from the receiver again.";
constexpr std::string_view kShortSavedHeaderMessage =
    "GARMIN_STRK.NVM is shorter than its 16-byte header and holds no saved tracks.\n"
    "Copy the file from the receiver again.";

// Column positions.
constexpr std::size_t kNumberColumn = 1;
constexpr std::size_t kNameColumn = 2;
constexpr std::size_t kPointsColumn = 3;
constexpr std::size_t kStartColumn = 4;
constexpr std::size_t kFinishColumn = 5;

const Column kColumns[] = {
    {" ", Alignment::Center, 0},          {"#", Alignment::Center, 30},
    {"Name", Alignment::Left, 200},       {"Points", Alignment::Left, 60},
    {"Start Time", Alignment::Left, 150}, {"Finish Time", Alignment::Left, 150},
};

constexpr std::string_view kActiveTrackNumberText = " 0";
constexpr std::string_view kActiveTrackName = "Active track";

struct FirstAndLast {
    std::optional<TrackPoint> first;
    std::optional<TrackPoint> last;
};

void setTimes(RecordList& list, const FirstAndLast& points) {
    if (points.first) {
        list.setText(0, kStartColumn, formatDeviceTime(points.first->time));
    }
    if (points.last) {
        list.setText(0, kFinishColumn, formatDeviceTime(points.last->time));
    }
}

// The active track's records are length-framed, so they are walked one by one, as far as
// the file holds bytes of them.
FirstAndLast readActiveTrackEnds(ActiveTrackReader& reader, std::uint32_t pointCount) {
    FirstAndLast points;
    for (std::uint64_t i = 0; i < pointCount && reader.remaining() > 0; ++i) {
        const TrackPoint point = reader.readPoint();
        if (i == 0) {
            points.first = point;
        }
        points.last = point;
    }
    return points;
}

void fillActiveTrackRow(AppState& state, InputStream& stream) {
    ActiveTrackReader reader(stream, state.recordBuffer);
    const ActiveTrackHeader header = reader.readHeader();
    state.fileVersion = header.version;
    state.recordCount = header.pointCount;
    state.headerFields.fileVersion = std::to_string(header.version);
    state.headerFields.records = signedDecimal(header.pointCount);

    RecordList& list = state.list;
    list.insertRow();
    list.setText(0, kNumberColumn, std::string(kActiveTrackNumberText));
    list.setText(0, kNameColumn, std::string(kActiveTrackName));
    list.setText(0, kPointsColumn, signedDecimal(header.pointCount));
    setTimes(list, readActiveTrackEnds(reader, header.pointCount));
}

// The first and last points of the saved track whose header was just read, leaving the
// stream where the track ends (or at the end of the file). A track that the file holds
// whole is not decoded point by point: after its first point the stream jumps to the
// group of eight that holds the last point and unpacks that group up to it, which gives
// exactly the points a full walk gives. A track cut off by the end of the file is walked
// as far as the file holds bytes of its points.
FirstAndLast readSavedTrackEnds(InputStream& stream, SavedTrackReader& reader,
                                std::uint16_t pointCount) {
    using track_layout::kAlignedPointSize;
    using track_layout::kGroupSize;

    FirstAndLast points;
    if (pointCount == 0 || stream.remaining() == 0) {
        return points;
    }
    points.first = reader.readPoint();
    points.last = points.first;

    const std::uint32_t lastIndex = pointCount - 1u;
    const bool wholeInFile = stream.remaining() + kAlignedPointSize >= packedSize(pointCount);
    if (!wholeInFile || lastIndex < 8) {
        for (std::uint32_t j = 1; j <= lastIndex && stream.remaining() > 0; ++j) {
            points.last = reader.readPoint();
        }
        return points;
    }

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
bool fillSavedTrackRows(AppState& state, InputStream& stream, std::uint32_t& trackCount) {
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
        list.setText(0, kNumberColumn, numberText(n));
        TrackHeader header = reader.readTrackHeader();
        list.setText(0, kPointsColumn, std::to_string(header.pointCount));
        list.setText(0, kNameColumn, std::move(header.name));
        setTimes(list, readSavedTrackEnds(stream, reader, header.pointCount));
    }
    return true;
}

}  // namespace

void fillTrackView(AppState& state, UserInterface& ui) {
    for (const Column& column : kColumns) {
        state.list.addColumn(column);
    }

    // Both files are opened before either is read; one that does not open is skipped.
    std::optional<InputStream> active = InputStream::open(state.files.activeTrack);
    std::optional<InputStream> saved = InputStream::open(state.files.savedTracks);
    const bool activeCut = active && active->size() < track_layout::kHeaderSize;
    const bool savedCut = saved && saved->size() < track_layout::kHeaderSize;
    if (active) {
        fillActiveTrackRow(state, *active);
    }
    std::uint32_t trackCount = 0;
    const bool tooMany = saved && !fillSavedTrackRows(state, *saved, trackCount);
    if (!saved) {
        state.savedTracksSnapshot.reset();
    }
    if (activeCut) {
        ui.showMessage(kShortActiveHeaderMessage, kTitleText, Buttons::Ok, Icon::None);
    }
    if (savedCut) {
        ui.showMessage(kShortSavedHeaderMessage, kTitleText, Buttons::Ok, Icon::None);
    }
    if (tooMany) {
        ui.showMessage(tooManyRowsMessage(kSavedTracksFileName, trackCount, "saved tracks"),
                       kTitleText, Buttons::Ok, Icon::None);
    }
}

}  // namespace quillet
