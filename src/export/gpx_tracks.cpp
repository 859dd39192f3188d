// The track body: one trk per selected row of the track view, its points read again
// from the device files and streamed straight into the document.

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

#include "device/input_stream.h"
#include "device/number_text.h"
#include "export/gpx_body.h"
#include "ui/track_columns.h"

namespace quillet {

namespace {

constexpr std::size_t kNumberBytes = 19;

constexpr std::array<std::string_view, 16> kColorNames = {
    "Black",    "DarkRed",   "DarkGreen", "DarkYellow", "DarkBlue", "DarkMagenta",
    "DarkCyan", "LightGray", "DarkGray",  "Red",        "Green",    "Yellow",
    "Blue",     "Magenta",   "Cyan",      "White"};

constexpr std::string_view kPointStart = "    <trkpt lat=\"";
constexpr std::string_view kPointLongitude = "\" lon=\"";
constexpr std::string_view kPointElevation = "\">\n    <ele>";
constexpr std::string_view kPointElevationEnd = "</ele>\n";
constexpr std::string_view kPointTime = "     <time>";
constexpr std::string_view kPointTimeEnd = "</time>\n";
constexpr std::string_view kPointEnd = "    </trkpt>\n";

constexpr std::size_t kPointMaxChars =
    kPointStart.size() + 2 * kNumberTextMax + kPointLongitude.size() + kPointElevation.size() +
    kIntMaxChars + kPointElevationEnd.size() + kPointTime.size() + kGpxTimeChars +
    kPointTimeEnd.size() + kPointEnd.size();

// The lines between "  <trk>" and the track's points.
void writeTrackStart(GpxWriter& out, std::string_view colour, auto&& writeName) {
    out.put("  <name>");
    writeName();
    out.put("</name>\n");
    out.put("   <extensions>\n");
    out.put("    <gpxx:TrackExtension xmlns:gpxx=\"");
    out.put(kGpxExtensionsNamespace);
    out.put("\">\n");
    out.put("     <gpxx:DisplayColor>");
    out.put(colour);
    out.put("</gpxx:DisplayColor>\n");
    out.put("    </gpxx:TrackExtension>\n");
    out.put("   </extensions>\n");
    out.put("   <trkseg>\n");
}

// The points the file holds whole, up to the count, then the end of the segment.
template <typename Reader>
void writeHeldPoints(GpxWriter& out, Reader& reader, std::uint32_t pointCount) {
    GpxTimeFormatter times;
    forEachHeldPoint(reader, pointCount, [&](const TrackPoint& point) {
        writeTrackPoint(out, times, point);
        return !out.failed();
    });
    out.put("   </trkseg>\n");
}

// The active track: every point the file holds whole, up to its header's count.
void writeActiveTrack(GpxWriter& out, ListState& state, InputStream& stream) {
    writeTrackStart(out, "Red", [&] { out.put("Active Track"); });
    ActiveTrackReader reader(stream, state.recordBuffer);
    const ActiveTrackHeader header = reader.readHeader();
    state.recordCount = header.pointCount;
    writeHeldPoints(out, reader, header.pointCount);
}

// Where the saved tracks' headers begin, as far as the export has walked the file:
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
// the file holds only in part holds no points: it is written with the name and colour
// read as far as the file goes, as the list shows them, and an empty segment.
void writeSavedTrack(GpxWriter& out, ListState& state, InputStream& stream,
                     std::int64_t trackNumber, SavedTrackWalk& walk) {
    SavedTrackReader reader(stream, state.recordBuffer);
    const std::uint32_t trackCount = reader.readHeader();
    if (reader.atEndOfFile() || trackNumber < 1 || trackNumber > trackCount) {
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
            return;
        }
        if (static_cast<std::size_t>(n) > walk.headerOffsets.size()) {
            walk.headerOffsets.push_back(stream.position());
        }
        const TrackHeader header = reader.readTrackHeader();
        if (n < trackNumber) {
            if (reader.atEndOfFile()) {
                return;
            }
            reader.skipRemainingPoints();
            continue;
        }
        writeTrackStart(out, trackColorName(header.colour),
                        [&] { writeGpxName(out, header.name); });
        writeHeldPoints(out, reader, header.pointCount);
        return;
    }
}

bool writeTrackOfRow(GpxWriter& out, ListState& state, std::size_t row, SavedTrackWalk& walk) {
    const std::int64_t trackNumber = trackNumberOfRow(state.list, row);
    const auto& path = trackNumber == 0 ? state.files.activeTrack : state.files.savedTracks;
    std::optional<InputStream> stream = InputStream::open(path);
    if (!stream) {
        return false;
    }
    out.put("  <trk>\n");
    if (trackNumber == 0) {
        writeActiveTrack(out, state, *stream);
    } else {
        writeSavedTrack(out, state, *stream, trackNumber, walk);
    }
    out.put("  </trk>\n");
    return true;
}

}  // namespace

std::int64_t trackNumberOfRow(const RecordList& list, std::size_t row) {
    return trackNumberOf(list.text(row, track_columns::kNumber, kNumberBytes));
}

std::string_view trackColorName(std::uint8_t colour) {
    return colour < kColorNames.size() ? kColorNames[colour] : kColorNames[0];
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

void writeTrackPoint(GpxWriter& out, GpxTimeFormatter& times, const TrackPoint& point) {
    char* at = out.claim(kPointMaxChars);
    at = appendText(at, kPointStart);
    char* const latitude = at;
    at = writeFixed7(at, point.latitude);
    char* const latitudeEnd = at;
    at = appendText(at, kPointLongitude);
    char* const longitude = at;
    at = writeFixed7(at, point.longitude);
    // Points well inside the ranges need no look at their text; near an edge the
    // rounding to seven decimals decides, so the written text is read back.
    const bool clearlyInside = point.latitude >= -89.9 && point.latitude <= 89.9 &&
                               point.longitude >= -179.9 && point.longitude <= 179.9;
    if (!clearlyInside &&
        !isGpxCoordinate(
            std::string_view(latitude, static_cast<std::size_t>(latitudeEnd - latitude)),
            std::string_view(longitude, static_cast<std::size_t>(at - longitude)))) {
        out.countPointOutOfRange();
    }
    at = appendText(at, kPointElevation);
    at = formatInt(at, point.elevation);
    at = appendText(at, kPointElevationEnd);
    char* const timeStart = appendText(at, kPointTime);
    char* const timeEnd = times.format(timeStart, point.time);
    if (timeEnd != timeStart) {
        at = appendText(timeEnd, kPointTimeEnd);
    }
    at = appendText(at, kPointEnd);
    out.commit(at);
}

void writeTrackPoint(std::ostream& out, const TrackPoint& point) {
    GpxWriter writer(out, 4 * kPointMaxChars);
    GpxTimeFormatter times;
    writeTrackPoint(writer, times, point);
}

bool writeTrack(GpxWriter& out, ListState& state, std::size_t row) {
    SavedTrackWalk walk;
    return writeTrackOfRow(out, state, row, walk);
}

bool writeTrack(std::ostream& out, ListState& state, std::size_t row) {
    GpxWriter writer(out);
    return writeTrack(writer, state, row);
}

GpxExportReport writeSelectedTracks(GpxWriter& out, ListState& state) {
    GpxExportReport report;
    SavedTrackWalk walk;
    for (std::size_t row = 0; row < state.list.rowCount(); ++row) {
        if (!state.list.isSelected(row) || writeTrackOfRow(out, state, row, walk)) {
            continue;
        }
        const auto& path = trackNumberOfRow(state.list, row) == 0 ? state.files.activeTrack
                                                                  : state.files.savedTracks;
        if (std::find(report.unreadableFiles.begin(), report.unreadableFiles.end(), path) ==
            report.unreadableFiles.end()) {
            report.unreadableFiles.push_back(path);
        }
    }
    return report;
}

GpxExportReport writeSelectedTracks(std::ostream& out, ListState& state) {
    GpxWriter writer(out);
    return writeSelectedTracks(writer, state);
}

}  // namespace quillet
