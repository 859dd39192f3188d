// SPDX-License-Identifier: GPL-3.0-or-later
// The document frame, names, times and the waypoint body.

#include <array>
#include <ostream>
#include <span>
#include <string>

#include "device/code_page.h"
#include "device/number_text.h"
#include "export/document_writer.h"
#include "export/gpx_body.h"
#include "ui/waypoint_columns.h"

namespace quillet {

namespace {

constexpr std::string_view kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n";
constexpr std::string_view kGpxNamespace = "http://www.topografix.com/GPX/1/1";
constexpr std::string_view kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kGpxExtensionsSchema =
    "http://www.garmin.com/xmlschemas/GpxExtensions/v3/GpxExtensionsv3.xsd";
constexpr std::string_view kGpxSchema = "http://www.topografix.com/GPX/1/1/gpx.xsd";

constexpr std::array<std::string_view, waypoint_columns::kCategories + 1> kCategoryNumbers = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16"};

}  // namespace

void writeGpxHeader(GpxWriter& out) {
    out.put(kDeclaration);
    out.put("<gpx xmlns=\"");
    out.put(kGpxNamespace);
    out.put("\" creator=\"");
    out.put(kTitleText);
    out.put("\" version=\"1.1\" xmlns:xsi=\"");
    out.put(kSchemaInstanceNamespace);
    out.put("\" xsi:schemaLocation=\"");
    out.put(kGpxExtensionsNamespace);
    out.put(" ");
    out.put(kGpxExtensionsSchema);
    out.put(" ");
    out.put(kGpxNamespace);
    out.put(" ");
    out.put(kGpxSchema);
    out.put("\">\n");
}

std::string toGpxTime(std::string_view calendarText) {
    if (calendarText.size() < 20) {
        return {};
    }
    std::string time;
    time.reserve(20);
    time.append(calendarText.substr(0, 10));
    time.push_back('T');
    time.append(calendarText.substr(12, 8));
    time.push_back('Z');
    return time;
}

void putXmlText(GpxWriter& out, std::string_view utf8) {
    std::size_t plainFrom = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        std::string_view replacement;
        if (byte == '&') {
            replacement = "&amp;";
        } else if (byte == '<') {
            replacement = "&lt;";
        } else if (byte == '>') {
            replacement = "&gt;";
        } else if (byte < 0x20) {
            replacement = "?";
        } else {
            continue;
        }
        out.put(utf8.substr(plainFrom, i - plainFrom));
        out.put(replacement);
        plainFrom = i + 1;
    }
    out.put(utf8.substr(plainFrom));
}

void putFixed7(GpxWriter& out, double value) {
    out.commit(writeFixed7(out.claim(kNumberTextMax), value));
}

void putInt(GpxWriter& out, int value) {
    out.commit(formatInt(out.claim(kIntMaxChars), value));
}

bool putIsoTime(GpxWriter& out, GpxTimeFormatter& times, DeviceTime time) {
    char* const at = out.claim(kGpxTimeChars);
    char* const end = times.format(at, time);
    out.commit(end);
    return end != at;
}

void writeGpxName(GpxWriter& out, std::string_view deviceText) {
    putXmlText(out, deviceTextToUtf8(deviceText));
}

void writeWaypoint(GpxWriter& out, GpxTimeFormatter& times, const ExportWaypoint& waypoint) {
    out.put("  <wpt lat=\"");
    char* const latitude = out.claim(2 * kNumberTextMax + 8);
    char* const latitudeEnd = writeFixed7(latitude, waypoint.latitude);
    char* const longitude = appendText(latitudeEnd, "\" lon=\"");
    char* const longitudeEnd = writeFixed7(longitude, waypoint.longitude);
    if (!isGpxCoordinate(
            std::string_view(latitude, static_cast<std::size_t>(latitudeEnd - latitude)),
            std::string_view(longitude, static_cast<std::size_t>(longitudeEnd - longitude)))) {
        out.countPointOutOfRange();
    }
    out.commit(appendText(longitudeEnd, "\">\n"));

    out.put("   <ele>");
    if (waypoint.elevation) {
        putInt(out, *waypoint.elevation);
    }
    out.put(".000</ele>\n");

    // A waypoint without a calendar time gets no line rather than an empty, invalid
    // time element.
    if (waypoint.time) {
        out.put("   <time>");
        putIsoTime(out, times, *waypoint.time);
        out.put("</time>\n");
    }

    if (!waypoint.name.empty()) {
        out.put("   <name>");
        putXmlText(out, waypoint.name);
        out.put("</name>\n");
    }

    if (!waypoint.symbol.empty()) {
        out.put("   <sym>");
        out.put(waypoint.symbol);
        out.put("</sym>\n");
    }

    out.put("   <extensions> \n");
    out.put("    <gpxx:WaypointExtension xmlns:gpxx=\"");
    out.put(kGpxExtensionsNamespace);
    out.put("\">\n");
    out.put("     <gpxx:DisplayMode>SymbolAndName</gpxx:DisplayMode>\n");
    if (waypoint.categories.any()) {
        out.put("     <gpxx:Categories>\n");
        for (int k = 1; k <= waypoint_columns::kCategories; ++k) {
            if (waypoint.categories[static_cast<std::size_t>(k)]) {
                out.put("      <gpxx:Category>");
                out.put(kCategoryNumbers[static_cast<std::size_t>(k)]);
                out.put("</gpxx:Category>\n");
            }
        }
        out.put("     </gpxx:Categories>\n");
    }
    out.put("    </gpxx:WaypointExtension>\n");
    out.put("   </extensions>\n");
    out.put("  </wpt>\n");
}

void writeWaypoint(GpxWriter& out, const RecordList& list, std::size_t row) {
    GpxTimeFormatter times;
    writeWaypoint(out, times, waypointOfRow(list, row));
}

void writeWaypoint(std::ostream& out, const RecordList& list, std::size_t row) {
    GpxWriter writer(out, 4096);
    writeWaypoint(writer, list, row);
}

}  // namespace quillet
