// The document frame, names, times and the waypoint body.

#include <array>
#include <ostream>
#include <span>
#include <string>

#include "device/code_page.h"
#include "device/device_time.h"
#include "export/gpx_body.h"
#include "ui/waypoint_columns.h"

namespace quillet {

namespace {

// Columns of the waypoint view that the export reads, and how many bytes of each.
// How many bytes of a waypoint cell the export reads.
constexpr std::size_t kCoordinateBytes = 199;
constexpr std::size_t kTextBytes = 99;
constexpr std::size_t kCategoryBytes = 2;

constexpr std::string_view kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n";
constexpr std::string_view kGpxNamespace = "http://www.topografix.com/GPX/1/1";
constexpr std::string_view kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kGpxExtensionsSchema =
    "http://www.garmin.com/xmlschemas/GpxExtensions/v3/GpxExtensionsv3.xsd";
constexpr std::string_view kGpxSchema = "http://www.topografix.com/GPX/1/1/gpx.xsd";

constexpr std::array<std::string_view, waypoint_columns::kCategories + 1> kCategoryNumbers = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16"};

bool isCategoryMark(std::string_view cell) {
    return cell == "+";
}

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

void writeGpxName(GpxWriter& out, std::string_view deviceText) {
    const std::string utf8 = deviceTextToUtf8(deviceText);
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
        out.put(std::string_view(utf8).substr(plainFrom, i - plainFrom));
        out.put(replacement);
        plainFrom = i + 1;
    }
    out.put(std::string_view(utf8).substr(plainFrom));
}

void writeWaypoint(GpxWriter& out, const RecordList& list, std::size_t row,
                   std::span<const DeviceTime> utcTimes) {
    using namespace waypoint_columns;
    const auto cell = [&](std::size_t column, std::size_t bytes) {
        return list.text(row, column, bytes);
    };

    const std::string_view latitude = cell(kLatitude, kCoordinateBytes);
    const std::string_view longitude = cell(kLongitude, kCoordinateBytes);
    out.put("  <wpt lat=\"");
    out.put(latitude);
    out.put("\" lon=\"");
    out.put(longitude);
    out.put("\">\n");
    if (!isGpxCoordinate(latitude, longitude)) {
        out.countPointOutOfRange();
    }

    out.put("   <ele>");
    out.put(cell(kElevation, kTextBytes));
    out.put(".000</ele>\n");

    // The view always fills the time cell; a cell without a calendar text gets no line
    // rather than an empty, invalid time element. A cell that shows another zone's time
    // is not read: GPX times are UTC, taken from the record's own time.
    const auto item = static_cast<std::size_t>(list.itemNumber(row));
    const std::string time = toGpxTime(utcTimes.empty()         ? cell(kTime, kTextBytes)
                                       : item < utcTimes.size() ? formatDeviceTime(utcTimes[item])
                                                                : std::string());
    if (!time.empty()) {
        out.put("   <time>");
        out.put(time);
        out.put("</time>\n");
    }

    // The whole name: a UTF-8 name can take three bytes per character.
    const std::string_view name = list.text(row, kName);
    if (!name.empty()) {
        out.put("   <name>");
        writeGpxName(out, name);
        out.put("</name>\n");
    }

    const std::string_view symbol = cell(kSymbol, kTextBytes);
    if (!symbol.empty()) {
        out.put("   <sym>");
        out.put(symbol);
        out.put("</sym>\n");
    }

    out.put("   <extensions> \n");
    out.put("    <gpxx:WaypointExtension xmlns:gpxx=\"");
    out.put(kGpxExtensionsNamespace);
    out.put("\">\n");
    out.put("     <gpxx:DisplayMode>SymbolAndName</gpxx:DisplayMode>\n");

    bool anyCategory = false;
    for (int k = 1; k <= kCategories; ++k) {
        anyCategory = anyCategory || isCategoryMark(cell(kFirstCategory + k - 1, kCategoryBytes));
    }
    if (anyCategory) {
        out.put("     <gpxx:Categories>\n");
        for (int k = 1; k <= kCategories; ++k) {
            if (isCategoryMark(cell(kFirstCategory + k - 1, kCategoryBytes))) {
                out.put("      <gpxx:Category>");
                out.put(kCategoryNumbers[k]);
                out.put("</gpxx:Category>\n");
            }
        }
        out.put("     </gpxx:Categories>\n");
    }

    out.put("    </gpxx:WaypointExtension>\n");
    out.put("   </extensions>\n");
    out.put("  </wpt>\n");
}

void writeWaypoint(std::ostream& out, const RecordList& list, std::size_t row) {
    GpxWriter writer(out, 4096);
    writeWaypoint(writer, list, row);
}

void writeSelectedWaypoints(GpxWriter& out, const RecordList& list,
                            std::span<const DeviceTime> utcTimes) {
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        if (list.isSelected(row)) {
            writeWaypoint(out, list, row, utcTimes);
        }
    }
}

}  // namespace quillet
