// SPDX-License-Identifier: GPL-3.0-or-later
// The track body and the GPX writer of the records: one trk per track, its points
// streamed straight into the document.

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "device/number_text.h"
#include "export/document_writer.h"
#include "export/gpx_body.h"
#include "export/track_colours.h"

namespace quillet {

namespace {

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
void writeTrackStart(GpxWriter& out, const ExportTrack& track) {
    out.put("  <name>");
    putXmlText(out, track.name);
    out.put("</name>\n");
    out.put("   <extensions>\n");
    out.put("    <gpxx:TrackExtension xmlns:gpxx=\"");
    out.put(kGpxExtensionsNamespace);
    out.put("\">\n");
    out.put("     <gpxx:DisplayColor>");
    out.put(trackColorName(track.colour));
    out.put("</gpxx:DisplayColor>\n");
    out.put("    </gpxx:TrackExtension>\n");
    out.put("   </extensions>\n");
    out.put("   <trkseg>\n");
}

// The GPX body of the records; the document frame is the caller's.
class GpxBodyWriter : public DocumentWriter {
public:
    explicit GpxBodyWriter(GpxWriter& out) : out_(out) {}

    void waypoint(const ExportWaypoint& waypoint) override {
        writeWaypoint(out_, times_, waypoint);
    }
    void startTrack(const ExportTrack& track) override {
        out_.put("  <trk>\n");
        hasHeader_ = track.hasHeader;
        if (hasHeader_) {
            writeTrackStart(out_, track);
        }
        times_ = {};
    }
    bool point(const TrackPoint& point) override {
        writeTrackPoint(out_, times_, point);
        return !out_.failed();
    }
    void endTrack() override {
        if (hasHeader_) {
            out_.put("   </trkseg>\n");
        }
        out_.put("  </trk>\n");
    }
    void finish() override {}

protected:
    GpxWriter& out_;

private:
    GpxTimeFormatter times_;
    bool hasHeader_ = false;
};

// The whole document: the header first, the end tag last.
class GpxDocumentWriter : public GpxBodyWriter {
public:
    explicit GpxDocumentWriter(GpxWriter& out) : GpxBodyWriter(out) { writeGpxHeader(out); }
    void finish() override { out_.put("</gpx>\n"); }
};

GpxExportReport reportOf(const RecordsRead& read) {
    GpxExportReport report;
    report.unreadableFiles = read.unreadableFiles;
    return report;
}

}  // namespace

std::unique_ptr<DocumentWriter> makeGpxWriter(GpxWriter& out) {
    return std::make_unique<GpxDocumentWriter>(out);
}

std::string_view trackColorName(std::uint8_t colour) {
    return trackColourOf(colour).name;
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
    GpxBodyWriter body(out);
    const std::size_t rows[] = {row};
    return readRecords(state, ViewKind::Tracks, rows, body).unreadableFiles.empty();
}

bool writeTrack(std::ostream& out, ListState& state, std::size_t row) {
    GpxWriter writer(out);
    return writeTrack(writer, state, row);
}

GpxExportReport writeSelectedTracks(GpxWriter& out, ListState& state) {
    GpxBodyWriter body(out);
    return reportOf(readRecords(state, ViewKind::Tracks, selectedRows(state.list), body));
}

GpxExportReport writeSelectedTracks(std::ostream& out, ListState& state) {
    GpxWriter writer(out);
    return writeSelectedTracks(writer, state);
}

}  // namespace quillet
