// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/gpx_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "export/gpx_export.h"

namespace quillet::testing {

namespace {

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// "YYYY-MM-DD  hh:mm:ss " as the device time it shows; a text that is no such time
// gives a time without calendar text.
DeviceTime deviceTimeOf(const std::string& text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text.size() < 20 || std::sscanf(text.c_str(), "%4d-%2d-%2d  %2d:%2d:%2d", &year, &month,
                                        &day, &hour, &minute, &second) != 6) {
        return kNoRowTime;
    }
    // Days from 1970-01-01 of the civil date (proleptic Gregorian).
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = static_cast<long long>(era) * 146097 + doe - 719468;
    constexpr long long kDays2007 = 13514;  // 2007-01-01
    return static_cast<DeviceTime>((days - kDays2007) * 86400 + hour * 3600 + minute * 60 + second);
}

}  // namespace

AppState waypointState(const std::filesystem::path& dir) {
    AppState state;
    state.files = makeFileSet(dir);
    state.waypointTab = 0;
    state.tracksTab = 1;
    state.tabs = {"Way Points", "Tracks"};
    state.currentTab = 0;
    return state;
}

AppState trackState(const std::filesystem::path& dir) {
    AppState state = waypointState(dir);
    state.currentTab = 1;
    return state;
}

void setWaypointRows(RecordList& list, const std::vector<WaypointCells>& rows) {
    list.removeAllRows();
    list.removeAllColumns();
    for (int column = 0; column < 24; ++column) {
        list.addColumn(Column{.heading = std::to_string(column)});
    }
    for (std::size_t i = rows.size(); i-- > 0;) {
        const WaypointCells& cells = rows[i];
        list.insertRow();
        list.setItemNumber(0, static_cast<std::int32_t>(i + 1));
        char number[16];
        std::snprintf(number, sizeof number, "%2i", static_cast<int>(i + 1));
        list.setText(0, 1, number);
        list.setText(0, 2, cells.name);
        list.setText(0, 3, cells.symbol);
        list.setText(0, 4, cells.latitude);
        list.setText(0, 5, cells.longitude);
        list.setText(0, 6, cells.elevation);
        list.setText(0, 7, cells.time);
        list.setTime(0, deviceTimeOf(cells.time));
        for (int category : cells.categories) {
            list.setText(0, static_cast<std::size_t>(7 + category), "+");
        }
    }
}

void setTrackRows(RecordList& list, const std::vector<std::string>& numbers) {
    list.removeAllRows();
    list.removeAllColumns();
    for (const char* heading : {" ", "#", "Name", "Points", "Start Time", "Finish Time"}) {
        list.addColumn(Column{.heading = heading});
    }
    for (std::size_t i = numbers.size(); i-- > 0;) {
        list.insertRow();
        list.setItemNumber(0, static_cast<std::int32_t>(i + 1));
        list.setText(0, 1, numbers[i]);
    }
}

void selectAll(RecordList& list) {
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        list.setSelected(row, true);
    }
}

std::string exportText(AppState& state) {
    std::ostringstream out;
    writeGpxDocument(out, state, currentView(state));
    return std::move(out).str();
}

bool haveProgram(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::optional<bool> validatesAgainstSchema(const std::filesystem::path& gpx, std::string& log) {
    if (!haveProgram("xmllint")) {
        return std::nullopt;
    }
    const std::filesystem::path schema = std::filesystem::path(QUILLET_SCHEMA_DIR) / "gpx-gpxx.xsd";
    const std::string command = "xmllint --noout --schema " + shellQuoted(schema.string()) + " " +
                                shellQuoted(gpx.string()) + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    log.clear();
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        log.append(chunk, got);
    }
    return pclose(pipe) == 0;
}

}  // namespace quillet::testing
