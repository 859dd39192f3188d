// SPDX-License-Identifier: GPL-3.0-or-later
// Every export format over the reference folders: each document read back (GeoJSON and
// CSV parsed here, KML by xmllint and gpsbabel) holds the records of the GPX of the same
// rows, and the GPX of everything is exactly the two views' exports in one document.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "app/export_everything.h"
#include "app/fill_list.h"
#include "app/startup.h"
#include "export/export_document.h"
#include "export/export_formats.h"
#include "support/fake_ui.h"
#include "support/gpx_fixtures.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

using testing::FakeUi;
using testing::TempDir;

const std::filesystem::path kDataDir = QUILLET_TEST_DATA_DIR;

// ---- A JSON reader, just enough for the documents of the export.

struct Json;
using JsonArray = std::vector<Json>;
using JsonObject = std::map<std::string, Json>;
struct Json {
    std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<JsonArray>,
                 std::shared_ptr<JsonObject>>
        value;
    bool isNull() const { return std::holds_alternative<std::nullptr_t>(value); }
    double number() const { return std::get<double>(value); }
    const std::string& text() const { return std::get<std::string>(value); }
    const JsonArray& array() const { return *std::get<std::shared_ptr<JsonArray>>(value); }
    const Json& operator[](const std::string& key) const {
        return std::get<std::shared_ptr<JsonObject>>(value)->at(key);
    }
    bool has(const std::string& key) const {
        return std::get<std::shared_ptr<JsonObject>>(value)->count(key) > 0;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    // The whole text as one value; throws on anything else.
    Json document() {
        Json value = read();
        skipBlanks();
        expect(at_ == text_.size());
        return value;
    }

private:
    void expect(bool condition) {
        if (!condition) {
            throw std::runtime_error("bad JSON at byte " + std::to_string(at_));
        }
    }
    void skipBlanks() {
        while (at_ < text_.size() &&
               std::string_view(" \t\r\n").find(text_[at_]) != std::string::npos) {
            ++at_;
        }
    }
    bool take(char c) {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    std::string string() {
        expect(take('"'));
        std::string out;
        while (true) {
            expect(at_ < text_.size());
            const char c = text_[at_++];
            expect(static_cast<unsigned char>(c) >= 0x20);
            if (c == '"') {
                return out;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = text_[at_++];
            if (e == 'u') {
                const int code = std::stoi(text_.substr(at_, 4), nullptr, 16);
                expect(code < 0x80);  // the export escapes control characters only
                out += static_cast<char>(code);
                at_ += 4;
            } else {
                expect(e == '"' || e == '\\' || e == '/');
                out += e;
            }
        }
    }
    Json read() {
        skipBlanks();
        expect(at_ < text_.size());
        const char c = text_[at_];
        if (c == '{') {
            ++at_;
            auto object = std::make_shared<JsonObject>();
            if (!take('}')) {
                do {
                    skipBlanks();
                    std::string key = string();
                    expect(take(':'));
                    (*object)[key] = read();
                } while (take(','));
                expect(take('}'));
            }
            return {object};
        }
        if (c == '[') {
            ++at_;
            auto array = std::make_shared<JsonArray>();
            if (!take(']')) {
                do {
                    array->push_back(read());
                } while (take(','));
                expect(take(']'));
            }
            return {array};
        }
        if (c == '"') {
            return {string()};
        }
        if (text_.compare(at_, 4, "null") == 0) {
            at_ += 4;
            return {nullptr};
        }
        std::size_t used = 0;
        const double number = std::stod(text_.substr(at_, 40), &used);
        expect(used > 0 && (std::isdigit(static_cast<unsigned char>(c)) || c == '-'));
        at_ += used;
        return {number};
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

// ---- RFC 4180 records: quoted fields may hold commas, doubled quotes and line breaks.

std::vector<std::vector<std::string>> csvRecords(const std::string& text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            for (++i; i < text.size() &&
                      !(text[i] == '"' && (i + 1 >= text.size() || text[i + 1] != '"'));
                 ++i) {
                records.back().back() += text[i];
                i += text[i] == '"' ? 1 : 0;
            }
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\r') {
            EXPECT_EQ(text.at(i + 1), '\n') << "a line break that is no CR LF";
            ++i;
            records.emplace_back(1);
        } else {
            EXPECT_NE(c, '\n') << "a bare LF outside quotes";
            records.back().back() += c;
        }
    }
    EXPECT_EQ(records.back(), std::vector<std::string>(1)) << "the last record ends with CR LF";
    records.pop_back();
    return records;
}

// ---- What the GPX of the same rows holds.

struct GpxFacts {
    std::vector<std::pair<double, double>> waypoints;  // lat, lon
    std::vector<std::string> waypointNames;
    std::vector<std::string> trackNames;
    std::vector<std::vector<std::pair<double, double>>> tracks;
    std::vector<std::vector<std::string>> trackTimes;  // the points that have a time
};

std::string unescaped(std::string text) {
    for (const auto& [entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}}) {
        for (auto at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) {
            text.replace(at, std::string_view(entity).size(), c);
        }
    }
    return text;
}

GpxFacts gpxFacts(const std::string& gpx) {
    GpxFacts facts;
    const std::regex point(R"re(<(wpt|trkpt) lat="([^"]*)" lon="([^"]*)")re");
    const std::regex name(R"(^ *<name>(.*)</name>$)");
    const std::regex time(R"(<time>(.*)</time>)");
    std::istringstream lines(gpx);
    std::string line;
    bool inWaypoint = false;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (line.find("<trk>") != std::string::npos) {
            facts.tracks.emplace_back();
            facts.trackTimes.emplace_back();
            facts.trackNames.emplace_back();
            inWaypoint = false;
        } else if (std::regex_search(line, match, point)) {
            const std::pair position{std::stod(match[2]), std::stod(match[3])};
            inWaypoint = match[1] == "wpt";
            if (inWaypoint) {
                facts.waypoints.push_back(position);
                facts.waypointNames.emplace_back();
            } else if (!facts.tracks.empty()) {
                facts.tracks.back().push_back(position);
            }
        } else if (std::regex_search(line, match, name)) {
            auto& names = inWaypoint ? facts.waypointNames : facts.trackNames;
            if (!names.empty()) {
                names.back() = unescaped(match[1]);
            }
        } else if (!inWaypoint && !facts.trackTimes.empty() &&
                   std::regex_search(line, match, time)) {
            facts.trackTimes.back().push_back(match[1]);
        }
    }
    return facts;
}

std::string runProgram(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string out;
    char chunk[4096];
    std::size_t got = 0;
    while (pipe != nullptr && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        out.append(chunk, got);
    }
    if (pipe == nullptr || pclose(pipe) != 0) {
        ADD_FAILURE() << command << ":\n" << out;
    }
    return out;
}

// The document of the view's rows, all selected, as the window's list holds them.
std::string viewExport(AppState& state, FakeUi& ui, ViewKind view) {
    std::ostringstream out;
    if (const auto tab = tabOf(state, view)) {
        switchToTab(state, ui, *tab);
        testing::selectAll(state.list);
        writeDocument(out, state, view, gpxFormat());
    }
    return out.str();
}

// The lines between the header and the end tag.
std::string bodyOf(const std::string& gpx) {
    if (gpx.empty()) {
        return {};
    }
    return gpx.substr(testing::kGpxHeader.size(), gpx.size() - testing::kGpxHeader.size() - 7);
}

// GPX shows a control character of a name as "?"; JSON keeps it.
std::string asInGpx(std::string name) {
    for (char& c : name) {
        c = static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return name;
}

void checkGeoJson(const std::string& text, const GpxFacts& gpx) {
    const Json document = JsonReader(text).document();
    ASSERT_EQ(document["type"].text(), "FeatureCollection");
    std::size_t waypoint = 0;
    std::size_t track = 0;
    for (const Json& feature : document["features"].array()) {
        const Json& properties = feature["properties"];
        if (!feature["geometry"].isNull() && feature["geometry"]["type"].text() == "Point") {
            ASSERT_LT(waypoint, gpx.waypoints.size());
            const JsonArray& at = feature["geometry"]["coordinates"].array();
            EXPECT_EQ(at[0].number(), gpx.waypoints[waypoint].second);  // [lon, lat]
            EXPECT_EQ(at[1].number(), gpx.waypoints[waypoint].first);
            EXPECT_EQ(asInGpx(properties["name"].text()), gpx.waypointNames[waypoint]);
            ++waypoint;
            continue;
        }
        ASSERT_LT(track, gpx.tracks.size());
        EXPECT_EQ(properties["name"].text(), gpx.trackNames[track]);
        EXPECT_EQ(properties["stroke"].text().size(), 7u);
        const JsonArray& times = properties["coordinateProperties"]["times"].array();
        std::vector<std::string> timed;
        for (const Json& time : times) {
            if (!time.isNull()) {
                timed.push_back(time.text());
            }
        }
        EXPECT_EQ(timed, gpx.trackTimes[track]);  // in the points' order
        if (feature["geometry"].isNull()) {
            EXPECT_TRUE(gpx.tracks[track].empty());
        } else {
            const JsonArray& points = feature["geometry"]["coordinates"].array();
            ASSERT_EQ(points.size(), gpx.tracks[track].size());
            EXPECT_EQ(times.size(), points.size());
            for (std::size_t i = 0; i < points.size(); ++i) {
                EXPECT_EQ(points[i].array()[1].number(), gpx.tracks[track][i].first);
                EXPECT_EQ(points[i].array()[0].number(), gpx.tracks[track][i].second);
            }
        }
        ++track;
    }
    EXPECT_EQ(waypoint, gpx.waypoints.size());
    EXPECT_EQ(track, gpx.tracks.size());
}

void checkCsv(const std::string& text, const GpxFacts& gpx) {
    const auto records = csvRecords(text);
    std::vector<std::pair<double, double>> waypoints;
    std::vector<std::pair<double, double>> points;
    std::vector<std::pair<double, double>> expectedPoints;
    for (const auto& track : gpx.tracks) {
        expectedPoints.insert(expectedPoints.end(), track.begin(), track.end());
    }
    std::size_t columns = 0;
    for (const auto& record : records) {
        if (record.size() == 1 && record[0].empty()) {
            continue;  // between the two tables
        }
        if (record[0] == "name" || record[0] == "track") {
            columns = record.size();
            continue;
        }
        ASSERT_EQ(record.size(), columns);
        if (columns == 7) {
            waypoints.emplace_back(std::stod(record[1]), std::stod(record[2]));
        } else {
            points.emplace_back(std::stod(record[2]), std::stod(record[3]));
        }
    }
    EXPECT_EQ(waypoints, gpx.waypoints);
    EXPECT_EQ(points, expectedPoints);
}

// gpsbabel reads the waypoints and the tracks that have points, with their names.
void checkKml(const std::filesystem::path& kml, const GpxFacts& gpx) {
    if (!testing::haveProgram("xmllint") || !testing::haveProgram("gpsbabel")) {
        GTEST_SKIP() << "xmllint or gpsbabel missing";
    }
    runProgram("xmllint --noout '" + kml.string() + "'");
    const std::string back = runProgram("gpsbabel -i kml -f '" + kml.string() + "' -o gpx -F -");
    GpxFacts expected = gpx;
    for (std::size_t i = expected.tracks.size(); i-- > 0;) {
        if (expected.tracks[i].empty()) {
            expected.tracks.erase(expected.tracks.begin() + static_cast<std::ptrdiff_t>(i));
            expected.trackNames.erase(expected.trackNames.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    const GpxFacts read = gpxFacts(back);
    EXPECT_EQ(read.waypointNames, expected.waypointNames);
    EXPECT_EQ(read.trackNames, expected.trackNames);
    ASSERT_EQ(read.tracks.size(), expected.tracks.size());
    for (std::size_t i = 0; i < read.tracks.size(); ++i) {
        EXPECT_EQ(read.tracks[i].size(), expected.tracks[i].size()) << expected.trackNames[i];
    }
}

TEST(ExportFormats, EveryFormatHoldsTheRecordsOfTheGpxOfEverything) {
    for (const char* folder : {"basic", "tracks-only", "truncated"}) {
        SCOPED_TRACE(folder);
        FakeUi ui;
        auto state = startUp(kDataDir / folder, ui);
        ASSERT_NE(state, nullptr);
        const std::string waypoints = viewExport(*state, ui, ViewKind::Waypoints);
        const std::string tracks = viewExport(*state, ui, ViewKind::Tracks);
        TempDir dir;
        std::map<std::string, std::string> documents;
        for (const ExportFormat& format : exportFormats()) {
            std::ostringstream out;
            const GpxExportReport report = writeEverything(out, state->files, format, true);
            EXPECT_TRUE(report.unreadableFiles.empty());
            documents[std::string(format.name)] = out.str();
            dir.writeFile("all." + std::string(format.name), std::string_view(out.str()));
        }

        const std::string& gpx = documents["gpx"];
        EXPECT_EQ(gpx, std::string(testing::kGpxHeader) + bodyOf(waypoints) + bodyOf(tracks) +
                           "</gpx>\n");
        std::string log;
        EXPECT_NE(testing::validatesAgainstSchema(dir / "all.gpx", log), false) << log;
        const GpxFacts facts = gpxFacts(gpx);
        checkGeoJson(documents["geojson"], facts);
        checkCsv(documents["csv"], facts);
        checkKml(dir / "all.kml", facts);
    }
}

TEST(ExportFormats, CsvQuotesANameWithACommaAQuoteAndALineBreak) {
    AppState state = testing::waypointState();
    testing::setWaypointRows(state.list, {{.name = "Bar \"Ural\", Perm\nLenina 1",
                                           .symbol = "Bar",
                                           .elevation = "-5",
                                           .categories = {4, 1, 9}}});
    testing::selectAll(state.list);
    std::ostringstream out;
    writeDocument(out, state, ViewKind::Waypoints, *formatNamed("csv"));

    EXPECT_EQ(out.str(),
              "name,latitude,longitude,elevation,time,symbol,categories\r\n"
              "\"Bar \"\"Ural\"\", Perm\nLenina 1\",55.0230965,14.3999871,-5,"
              "2010-06-29T14:03:07Z,Bar,1;4;9\r\n");
    const auto records = csvRecords(out.str());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][0], "Bar \"Ural\", Perm\nLenina 1");
}

TEST(ExportFormats, AFileThatCannotBeOpenedStopsAnAllOrNothingExportBeforeItsFirstByte) {
    TempDir dir;
    for (const auto& entry : std::filesystem::directory_iterator(kDataDir / "basic")) {
        std::filesystem::copy(entry.path(), dir / entry.path().filename());
    }
    FakeUi ui;
    auto state = startUp(dir.path(), ui);
    ASSERT_NE(state, nullptr);
    switchToTab(*state, ui, *tabOf(*state, ViewKind::Tracks));
    testing::selectAll(state->list);
    std::filesystem::remove(dir / "GARMIN_STRK.NVM");
    for (const ExportFormat& format : exportFormats()) {
        std::ostringstream out;
        const GpxExportReport report = writeDocument(out, *state, ViewKind::Tracks, format, true);
        EXPECT_EQ(out.str(), "") << format.name;
        EXPECT_EQ(report.unreadableFiles, std::vector{state->files.savedTracks}) << format.name;
    }
}

TEST(ExportFormats, ExportEverythingProposesTheBackupNameAndTheChosenNameGivesTheFormat) {
    std::tm day{};
    day.tm_year = 2026 - 1900;
    day.tm_mon = 11;
    day.tm_mday = 7;
    EXPECT_EQ(backupFileName(day), "Quillet-backup-2026-12-07.gpx");

    TempDir dir;
    FakeUi ui;
    auto state = startUp(kDataDir / "basic", ui);
    ASSERT_NE(state, nullptr);
    ui.savePaths.push_back(dir / "backup.kml");
    EXPECT_EQ(exportEverything(*state, ui).outcome, CommandOutcome::Done);
    ASSERT_EQ(ui.saveRequests().size(), 1u);
    EXPECT_EQ(ui.saveRequests()[0].defaultName.rfind("Quillet-backup-", 0), 0u);
    std::ostringstream kml;
    writeEverything(kml, state->files, *formatNamed("kml"));
    EXPECT_EQ(testing::readFile(dir / "backup.kml"), kml.str());
}

TEST(ExportFormats, TheFileNameChoosesTheFormatAndAnyOtherNameMeansGpx) {
    const std::pair<const char*, const char*> cases[] = {
        {"a.gpx", "gpx"},   {"a.geojson", "geojson"}, {"a.JSON", "geojson"}, {"a.kml", "kml"},
        {"b/a.Csv", "csv"}, {"a.txt", "gpx"},         {"kml", "gpx"},        {"a.kml.bak", "gpx"},
    };
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(formatOfPath(path).name, name) << path;
    }
    EXPECT_EQ(formatNamed("shp"), nullptr);
}

}  // namespace
}  // namespace quillet
