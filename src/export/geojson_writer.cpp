// SPDX-License-Identifier: GPL-3.0-or-later
// GeoJSON (RFC 7946): one FeatureCollection, a Point feature per waypoint and a
// LineString feature per track, its point times in coordinateProperties.times.

#include <cstdio>
#include <vector>

#include "export/document_writer.h"
#include "export/track_colours.h"

namespace quillet {

namespace {

void putJsonString(GpxWriter& out, std::string_view utf8) {
    out.put("\"");
    std::size_t plainFrom = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte != '"' && byte != '\\' && byte >= 0x20) {
            continue;
        }
        out.put(utf8.substr(plainFrom, i - plainFrom));
        if (byte == '"' || byte == '\\') {
            const char escaped[2] = {'\\', static_cast<char>(byte)};
            out.put(std::string_view(escaped, 2));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out.put(escaped);
        }
        plainFrom = i + 1;
    }
    out.put(utf8.substr(plainFrom));
    out.put("\"");
}

void putPosition(GpxWriter& out, double latitude, double longitude, const int* elevation) {
    out.put("[");
    putFixed7(out, longitude);
    out.put(",");
    putFixed7(out, latitude);
    if (elevation != nullptr) {
        out.put(",");
        putInt(out, *elevation);
    }
    out.put("]");
}

void putTime(GpxWriter& out, GpxTimeFormatter& times, DeviceTime time) {
    char* const at = out.claim(kGpxTimeChars + 2);
    *at = '"';
    char* const end = times.format(at + 1, time);
    if (end == at + 1) {
        out.commit(appendText(at, "null"));
    } else {
        *end = '"';
        out.commit(end + 1);
    }
}

class GeoJsonWriter : public DocumentWriter {
public:
    explicit GeoJsonWriter(GpxWriter& out) : out_(out) {
        out_.put("{\"type\":\"FeatureCollection\",\"features\":[");
    }

    void waypoint(const ExportWaypoint& waypoint) override {
        startFeature();
        out_.put("{\"type\":\"Point\",\"coordinates\":");
        putPosition(out_, waypoint.latitude, waypoint.longitude,
                    waypoint.elevation ? &*waypoint.elevation : nullptr);
        out_.put("},\"properties\":{\"name\":");
        putJsonString(out_, waypoint.name);
        out_.put(",\"symbol\":");
        putJsonString(out_, waypoint.symbol);
        out_.put(",\"categories\":[");
        bool first = true;
        for (std::size_t k = 1; k < waypoint.categories.size(); ++k) {
            if (waypoint.categories[k]) {
                out_.put(first ? "" : ",");
                putInt(out_, static_cast<int>(k));
                first = false;
            }
        }
        out_.put("]");
        if (waypoint.time) {
            out_.put(",\"time\":");
            putTime(out_, times_, *waypoint.time);
        }
        out_.put("}}");
    }

    void startTrack(const ExportTrack& track) override {
        track_ = track;
        points_.clear();
    }
    bool point(const TrackPoint& point) override {
        points_.push_back(point);
        return true;
    }
    void endTrack() override {
        startFeature();
        if (points_.empty()) {
            out_.put("null");
        } else {
            out_.put("{\"type\":\"LineString\",\"coordinates\":[");
            for (std::size_t i = 0; i < points_.size(); ++i) {
                out_.put(i == 0 ? "\n" : ",\n");
                putPosition(out_, points_[i].latitude, points_[i].longitude, &points_[i].elevation);
            }
            out_.put("]}");
        }
        const TrackColour& colour = trackColourOf(track_.colour);
        char stroke[8];
        std::snprintf(stroke, sizeof stroke, "#%02X%02X%02X", colour.red, colour.green,
                      colour.blue);
        out_.put(",\"properties\":{\"name\":");
        putJsonString(out_, track_.name);
        out_.put(",\"color\":");
        putJsonString(out_, colour.name);
        out_.put(",\"stroke\":");
        putJsonString(out_, stroke);
        out_.put(",\"coordinateProperties\":{\"times\":[");
        GpxTimeFormatter times;
        for (std::size_t i = 0; i < points_.size(); ++i) {
            out_.put(i == 0 ? "" : ",");
            putTime(out_, times, points_[i].time);
        }
        out_.put("]}}}");
        points_.clear();
        points_.shrink_to_fit();
    }
    void finish() override { out_.put(features_ == 0 ? "]}\n" : "\n]}\n"); }

private:
    void startFeature() {
        out_.put(features_++ == 0 ? "\n" : ",\n");
        out_.put("{\"type\":\"Feature\",\"geometry\":");
    }

    GpxWriter& out_;
    GpxTimeFormatter times_;
    std::size_t features_ = 0;
    ExportTrack track_;
    std::vector<TrackPoint> points_;
};

}  // namespace

std::unique_ptr<DocumentWriter> makeGeoJsonWriter(GpxWriter& out) {
    return std::make_unique<GeoJsonWriter>(out);
}

}  // namespace quillet
