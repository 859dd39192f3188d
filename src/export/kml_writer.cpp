// SPDX-License-Identifier: GPL-3.0-or-later
// KML 2.2: a Document with a Folder of waypoints and a Folder of tracks. A track whose
// points all have a time is a gx:Track, any other a LineString; each carries its
// display colour in a Style of its own.

#include <algorithm>
#include <cstdio>
#include <vector>

#include "export/document_writer.h"
#include "export/track_colours.h"

namespace quillet {

namespace {

constexpr std::string_view kStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
    "xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n"
    "<Document>\n";
constexpr std::string_view kWaypointFolder = " <Folder>\n  <name>Waypoints</name>\n";
constexpr std::string_view kTrackFolder = " <Folder>\n  <name>Tracks</name>\n";
constexpr std::string_view kFolderEnd = " </Folder>\n";

bool hasTime(DeviceTime time) {
    char text[kCalendarTextSize];
    return writeDeviceTime(text, time) != text;
}

void putName(GpxWriter& out, std::string_view name) {
    out.put("   <name>");
    putXmlText(out, name);
    out.put("</name>\n");
}

// "lon,lat,ele", or "lon lat ele" for a gx:coord.
void putCoordinates(GpxWriter& out, double latitude, double longitude, const int* elevation,
                    std::string_view separator) {
    putFixed7(out, longitude);
    out.put(separator);
    putFixed7(out, latitude);
    if (elevation != nullptr) {
        out.put(separator);
        putInt(out, *elevation);
    }
}

class KmlWriter : public DocumentWriter {
public:
    explicit KmlWriter(GpxWriter& out) : out_(out) {
        out_.put(kStart);
        out_.put(kWaypointFolder);
    }

    void waypoint(const ExportWaypoint& waypoint) override {
        out_.put("  <Placemark>\n");
        putName(out_, waypoint.name);
        if (!waypoint.symbol.empty()) {
            out_.put("   <description>");
            putXmlText(out_, waypoint.symbol);
            out_.put("</description>\n");
        }
        if (waypoint.time) {
            out_.put("   <TimeStamp><when>");
            putIsoTime(out_, times_, *waypoint.time);
            out_.put("</when></TimeStamp>\n");
        }
        out_.put("   <Point><coordinates>");
        putCoordinates(out_, waypoint.latitude, waypoint.longitude,
                       waypoint.elevation ? &*waypoint.elevation : nullptr, ",");
        out_.put("</coordinates></Point>\n");
        out_.put("  </Placemark>\n");
    }

    void startTrack(const ExportTrack& track) override {
        startTracks();
        track_ = track;
        points_.clear();
    }
    bool point(const TrackPoint& point) override {
        points_.push_back(point);
        return true;
    }
    void endTrack() override {
        const TrackColour& colour = trackColourOf(track_.colour);
        char abgr[9];
        std::snprintf(abgr, sizeof abgr, "ff%02x%02x%02x", colour.blue, colour.green, colour.red);
        out_.put("  <Placemark>\n");
        putName(out_, track_.name);
        out_.put("   <Style><LineStyle><color>");
        out_.put(abgr);
        out_.put("</color><width>3</width></LineStyle></Style>\n");
        const bool timed = std::all_of(points_.begin(), points_.end(),
                                       [](const TrackPoint& p) { return hasTime(p.time); });
        if (points_.empty()) {
            // No geometry: a Placemark may go without one.
        } else if (timed) {
            out_.put("   <gx:Track>\n");
            GpxTimeFormatter times;
            for (const TrackPoint& p : points_) {
                out_.put("    <when>");
                putIsoTime(out_, times, p.time);
                out_.put("</when>\n");
            }
            for (const TrackPoint& p : points_) {
                out_.put("    <gx:coord>");
                putCoordinates(out_, p.latitude, p.longitude, &p.elevation, " ");
                out_.put("</gx:coord>\n");
            }
            out_.put("   </gx:Track>\n");
        } else {
            out_.put("   <LineString><coordinates>\n");
            for (const TrackPoint& p : points_) {
                out_.put("    ");
                putCoordinates(out_, p.latitude, p.longitude, &p.elevation, ",");
                out_.put("\n");
            }
            out_.put("   </coordinates></LineString>\n");
        }
        out_.put("  </Placemark>\n");
        points_.clear();
        points_.shrink_to_fit();
    }

    void finish() override {
        startTracks();
        out_.put(kFolderEnd);
        out_.put("</Document>\n</kml>\n");
    }

private:
    void startTracks() {
        if (!inTracks_) {
            out_.put(kFolderEnd);
            out_.put(kTrackFolder);
            inTracks_ = true;
        }
    }

    GpxWriter& out_;
    GpxTimeFormatter times_;
    bool inTracks_ = false;
    ExportTrack track_;
    std::vector<TrackPoint> points_;
};

}  // namespace

std::unique_ptr<DocumentWriter> makeKmlWriter(GpxWriter& out) {
    return std::make_unique<KmlWriter>(out);
}

}  // namespace quillet
