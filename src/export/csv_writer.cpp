// SPDX-License-Identifier: GPL-3.0-or-later
// CSV (RFC 4180, UTF-8, CR LF): a table of the waypoints, one row each, and a table of
// the tracks' points, one row per point; a document with both has an empty line
// between them.

#include "export/document_writer.h"

namespace quillet {

namespace {

constexpr std::string_view kWaypointHeading =
    "name,latitude,longitude,elevation,time,symbol,categories\r\n";
constexpr std::string_view kTrackHeading = "track,point,latitude,longitude,elevation,time\r\n";

// A field in quotes when it holds a comma, a quote or a line break, its quotes doubled.
void putField(GpxWriter& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.put(text);
        return;
    }
    out.put("\"");
    std::size_t from = 0;
    for (std::size_t quote = text.find('"'); quote != std::string_view::npos;
         quote = text.find('"', from)) {
        out.put(text.substr(from, quote + 1 - from));
        out.put("\"");
        from = quote + 1;
    }
    out.put(text.substr(from));
    out.put("\"");
}

class CsvWriter : public DocumentWriter {
public:
    explicit CsvWriter(GpxWriter& out) : out_(out) {}

    void waypoint(const ExportWaypoint& waypoint) override {
        if (!waypointTable_) {
            out_.put(kWaypointHeading);
            waypointTable_ = true;
        }
        putField(out_, waypoint.name);
        out_.put(",");
        putFixed7(out_, waypoint.latitude);
        out_.put(",");
        putFixed7(out_, waypoint.longitude);
        out_.put(",");
        if (waypoint.elevation) {
            putInt(out_, *waypoint.elevation);
        }
        out_.put(",");
        if (waypoint.time) {
            putIsoTime(out_, times_, *waypoint.time);
        }
        out_.put(",");
        putField(out_, waypoint.symbol);
        out_.put(",");
        bool first = true;
        for (std::size_t k = 1; k < waypoint.categories.size(); ++k) {
            if (waypoint.categories[k]) {
                out_.put(first ? "" : ";");
                putInt(out_, static_cast<int>(k));
                first = false;
            }
        }
        out_.put("\r\n");
    }

    void startTrack(const ExportTrack& track) override {
        if (!trackTable_) {
            out_.put(waypointTable_ ? "\r\n" : "");
            out_.put(kTrackHeading);
            trackTable_ = true;
        }
        name_ = track.name;
        pointNumber_ = 0;
    }
    bool point(const TrackPoint& point) override {
        putField(out_, name_);
        out_.put(",");
        putInt(out_, ++pointNumber_);
        out_.put(",");
        putFixed7(out_, point.latitude);
        out_.put(",");
        putFixed7(out_, point.longitude);
        out_.put(",");
        putInt(out_, point.elevation);
        out_.put(",");
        putIsoTime(out_, times_, point.time);
        out_.put("\r\n");
        return !out_.failed();
    }
    void endTrack() override {}
    void finish() override {}

private:
    GpxWriter& out_;
    GpxTimeFormatter times_;
    bool waypointTable_ = false;
    bool trackTable_ = false;
    std::string name_;
    int pointNumber_ = 0;
};

}  // namespace

std::unique_ptr<DocumentWriter> makeCsvWriter(GpxWriter& out) {
    return std::make_unique<CsvWriter>(out);
}

}  // namespace quillet
