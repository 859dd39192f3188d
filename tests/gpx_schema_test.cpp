// SPDX-License-Identifier: GPL-3.0-or-later
// Documents exported from many generated device folders validate against the GPX 1.1
// schema with the GPX Extensions v3 schema, and a real GPX reader reads back what was
// written.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/fill_list.h"
#include "app/startup.h"
#include "encoder/device_encoder.h"
#include "export/gpx_export.h"
#include "support/fake_ui.h"
#include "support/gpx_fixtures.h"
#include "support/temp_dir.h"

// Designated initializers below leave the fields they do not name at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace quillet {
namespace {

using testing::FakeUi;
using testing::TempDir;

// Latitude and longitude codes whose degrees lie inside the GPX ranges
// (latitude at most 90, longitude below 180).
constexpr std::uint32_t kSavedLatitudeCodeMax = 4194303;
constexpr std::uint32_t kActiveLatitudeCodeMax = 8388607;
constexpr std::uint32_t kLongitudeCodeMax = 8388607;

std::string randomName(std::mt19937& random, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<int> byte(1, 255);
    std::string name(length(random), ' ');
    for (char& c : name) {
        c = static_cast<char>(byte(random));
    }
    return name;
}

encoder::PointFields randomPoint(std::mt19937& random, bool active) {
    return encoder::PointFields{
        .latitudeCode = std::uniform_int_distribution<std::uint32_t>(
            0, active ? kActiveLatitudeCodeMax : kSavedLatitudeCodeMax)(random),
        .longitudeCode = std::uniform_int_distribution<std::uint32_t>(0, kLongitudeCodeMax)(random),
        .elevationCode = static_cast<std::uint16_t>(random()),
        .timeField = static_cast<std::uint32_t>(random()),
        .bit97 = (random() & 1) != 0,
    };
}

void writeRandomFolder(const TempDir& dir, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> latitude(-89.9999, 89.9999);
    std::uniform_real_distribution<double> longitude(-179.9999, 179.9999);

    encoder::WaypointFile waypoints;
    const int waypointCount = static_cast<int>(random() % 25);
    for (int i = 0; i < waypointCount; ++i) {
        encoder::WaypointFields fields;
        fields.latitudeCode = encoder::waypointLatitudeCode(latitude(random));
        fields.longitudeCode = encoder::waypointLongitudeCode(longitude(random));
        fields.symbol = static_cast<std::uint8_t>(random());
        fields.elevationCode = random() % 4 == 0 ? 0xFFFF : static_cast<std::uint16_t>(random());
        fields.nameIsUtf8 = random() % 4 == 0;
        fields.name = fields.nameIsUtf8 ? "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 &<>"
                                        : randomName(random, 40);
        fields.categoryBits = static_cast<std::uint16_t>(random());
        fields.timeWord = static_cast<std::uint32_t>(random());
        waypoints.bodies.push_back(encoder::encodeWaypointBody(fields));
    }
    dir.writeFile(kWaypointFileName, encoder::encodeWaypointFile(waypoints));

    encoder::ActiveTrackFile active;
    active.points.resize(random() % 50);
    for (auto& point : active.points) {
        point = randomPoint(random, true);
    }
    dir.writeFile(kActiveTrackFileName, encoder::encodeActiveTrackFile(active));

    encoder::SavedTracksFile saved;
    saved.tracks.resize(random() % 7);
    for (auto& track : saved.tracks) {
        track.name = randomName(random, 29);
        track.colour = static_cast<std::uint8_t>(random());
        track.points.resize(random() % 40);
        for (auto& point : track.points) {
            point = randomPoint(random, false);
        }
    }
    dir.writeFile(kSavedTracksFileName, encoder::encodeSavedTracksFile(saved));
}

// Fills the tab, selects every row and writes the document to `path`.
void exportAllRows(AppState& state, UserInterface& ui, int tab, const std::filesystem::path& path) {
    switchToTab(state, ui, tab);
    testing::selectAll(state.list);
    std::ofstream out(path);
    writeGpxDocument(out, state, currentView(state));
}

TEST(GpxSchema, EveryExportedDocumentValidates) {
    if (!testing::haveProgram("xmllint")) {
        GTEST_SKIP() << "xmllint is not installed";
    }
    std::size_t rows = 0;
    for (unsigned seed = 1; seed <= 25; ++seed) {
        TempDir dir;
        writeRandomFolder(dir, seed);
        FakeUi ui;
        auto state = startUp(dir.path(), ui);
        ASSERT_NE(state, nullptr);
        for (int tab = 0; tab < 2; ++tab) {
            const auto gpx = dir / ("export" + std::to_string(tab) + ".gpx");
            exportAllRows(*state, ui, tab, gpx);
            rows += state->list.rowCount();
            std::string log;
            EXPECT_EQ(testing::validatesAgainstSchema(gpx, log), true)
                << "seed " << seed << " tab " << tab << "\n"
                << log;
        }
    }
    EXPECT_GT(rows, 100u);
}

// ---- A real reader

std::vector<std::vector<std::string>> readWithGpsbabel(const std::filesystem::path& gpx,
                                                       const char* what) {
    const std::string command =
        std::string("gpsbabel ") + what + " -i gpx -f '" + gpx.string() + "' -o unicsv -F - 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while (pipe != nullptr && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        text.append(chunk, got);
    }
    if (pipe != nullptr) {
        pclose(pipe);
    }
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::string field;
        bool quoted = false;
        for (char c : line) {
            if (c == '"') {
                quoted = !quoted;
            } else if (c == ',' && !quoted) {
                fields.push_back(field);
                field.clear();
            } else if (c != '\r') {
                field += c;
            }
        }
        fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

std::string column(const std::vector<std::vector<std::string>>& rows, std::size_t row,
                   const std::string& heading) {
    for (std::size_t i = 0; i < rows.at(0).size(); ++i) {
        if (rows[0][i] == heading && i < rows.at(row).size()) {
            return rows[row][i];
        }
    }
    return "<no " + heading + ">";
}

TEST(GpxReader, ReadsBackWaypointsAndTrackPoints) {
    if (!testing::haveProgram("gpsbabel")) {
        GTEST_SKIP() << "gpsbabel is not installed";
    }
    TempDir dir;
    encoder::WaypointFields home;
    home.latitudeCode = encoder::waypointLatitudeCode(55.0230965);
    home.longitudeCode = encoder::waypointLongitudeCode(-14.3999871);
    home.elevationCode = encoder::waypointElevationCode(110);
    home.name = "Fish & Chips";
    home.timeWord = encoder::waypointTimeWord(encoder::deviceTimeOf(2010, 6, 29, 14, 3, 7));
    encoder::WaypointFields cyrillic = home;
    cyrillic.name = "\xCF\xF0\xE8\xE2\xE5\xF2";
    cyrillic.elevationCode = 0xFFFF;
    dir.writeFile(kWaypointFileName,
                  encoder::encodeWaypointFile({.bodies = {encoder::encodeWaypointBody(home),
                                                          encoder::encodeWaypointBody(cyrillic)}}));
    encoder::SavedTracksFile saved;
    saved.tracks.resize(1);
    saved.tracks[0].name = "Walk";
    for (int i = 0; i < 3; ++i) {
        saved.tracks[0].points.push_back(
            {.latitudeCode = encoder::trackLatitudeCode(55.02 + i * 0.001, false),
             .longitudeCode = encoder::trackLongitudeCode(14.39 + i * 0.001),
             .elevationCode = encoder::trackElevationCode(110 + i, false),
             .timeField = encoder::trackTimeField(encoder::deviceTimeOf(2007, 6, 29, 12, 12, i))});
    }
    dir.writeFile(kSavedTracksFileName, encoder::encodeSavedTracksFile(saved));

    FakeUi ui;
    auto state = startUp(dir.path(), ui);
    ASSERT_NE(state, nullptr);

    exportAllRows(*state, ui, 0, dir / "w.gpx");
    const auto waypoints = readWithGpsbabel(dir / "w.gpx", "");
    ASSERT_EQ(waypoints.size(), 3u) << testing::readFile(dir / "w.gpx");
    // The reader prints six decimals: the exported seven agree to within half a unit.
    for (std::size_t row = 1; row <= 2; ++row) {
        EXPECT_NEAR(std::stod(column(waypoints, row, "Latitude")),
                    std::stod(std::string(state->list.text(row - 1, 4))), 5e-7);
        EXPECT_NEAR(std::stod(column(waypoints, row, "Longitude")),
                    std::stod(std::string(state->list.text(row - 1, 5))), 5e-7);
        EXPECT_EQ(column(waypoints, row, "Date"), "2010/06/29");
        EXPECT_EQ(column(waypoints, row, "Time"), "14:03:07");
    }
    EXPECT_EQ(column(waypoints, 1, "Name"), "Fish & Chips");
    EXPECT_EQ(std::stod(column(waypoints, 1, "Altitude")), 110.0);
    EXPECT_EQ(column(waypoints, 2, "Name"), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    EXPECT_EQ(std::stod(column(waypoints, 2, "Altitude")), 0.0);

    exportAllRows(*state, ui, 1, dir / "t.gpx");
    const auto points = readWithGpsbabel(dir / "t.gpx", "-t");
    ASSERT_EQ(points.size(), 4u) << testing::readFile(dir / "t.gpx");
    for (std::size_t row = 1; row <= 3; ++row) {
        const int i = static_cast<int>(row) - 1;
        EXPECT_NEAR(std::stod(column(points, row, "Latitude")), 55.02 + i * 0.001, 3e-5);
        EXPECT_NEAR(std::stod(column(points, row, "Longitude")), 14.39 + i * 0.001, 3e-5);
        EXPECT_NEAR(std::stod(column(points, row, "Altitude")), 110 + i, 1.0);
        EXPECT_EQ(column(points, row, "Date"), "2007/06/29");
        EXPECT_EQ(column(points, row, "Time"), "12:12:0" + std::to_string(i));
    }
}

}  // namespace
}  // namespace quillet
