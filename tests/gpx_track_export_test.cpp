// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/make_gpx_command.h"
#include "encoder/device_encoder.h"
#include "export/gpx_body.h"
#include "export/gpx_export.h"
#include "support/fake_ui.h"
#include "support/gpx_fixtures.h"
#include "support/temp_dir.h"

// Designated initializers below leave the fields they do not name at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace quillet {
namespace {

using encoder::PointFields;
using testing::FakeUi;
using testing::kGpxHeader;
using testing::TempDir;

std::string trackStart(const std::string& name, const std::string& colour) {
    return "  <trk>\n  <name>" + name +
           "</name>\n"
           "   <extensions>\n"
           "    <gpxx:TrackExtension "
           "xmlns:gpxx=\"http://www.garmin.com/xmlschemas/GpxExtensions/v3\">\n"
           "     <gpxx:DisplayColor>" +
           colour +
           "</gpxx:DisplayColor>\n"
           "    </gpxx:TrackExtension>\n"
           "   </extensions>\n"
           "   <trkseg>\n";
}
const std::string kTrackEnd = "   </trkseg>\n  </trk>\n";

// A point in whole degrees and seconds, as the encoder stores it.
PointFields point(double latitude, double longitude, int elevation, std::uint32_t deviceTime,
                  bool active = false) {
    return PointFields{.latitudeCode = encoder::trackLatitudeCode(latitude, active),
                       .longitudeCode = encoder::trackLongitudeCode(longitude),
                       .elevationCode = encoder::trackElevationCode(elevation, active),
                       .timeField = encoder::trackTimeField(deviceTime)};
}

std::string exportRows(AppState& state, const std::vector<std::string>& numbers) {
    testing::setTrackRows(state.list, numbers);
    testing::selectAll(state.list);
    return testing::exportText(state);
}

void writeSavedTracks(const TempDir& dir, const encoder::SavedTracksFile& file) {
    dir.writeFile(kSavedTracksFileName, encoder::encodeSavedTracksFile(file));
}

TEST(TrackExport, WritesTheTwoPointSavedTrackByteForByte) {
    // The file written byte by byte: header, one track record of two packed points.
    std::vector<std::uint8_t> bytes = {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    const std::vector<std::uint8_t> record = {77, 0, 2, 0, 0};
    bytes.insert(bytes.end(), record.begin(), record.end());
    std::vector<std::uint8_t> name(29, 0);
    name[0] = 'D';
    name[1] = 'a';
    name[2] = 'y';
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.insert(bytes.end(), 16, 0);
    bytes.insert(bytes.end(), {9, 0, 0, 0});
    const std::vector<std::uint8_t> packed = {0xa6, 0x20, 0x27, 0x70, 0x3d, 0x0a, 0x4c, 0xab, 0xe7,
                                              0x20, 0x2b, 0x1a, 0x63, 0x41, 0x4e, 0x0a, 0x7b, 0x14,
                                              0xac, 0x56, 0xcf, 0x41, 0x60, 0x34, 0x00};
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    TempDir dir;
    dir.writeFile(kSavedTracksFileName, bytes);
    AppState state = testing::trackState(dir.path());
    FakeUi ui;
    ui.savePaths.push_back(dir / "t.gpx");
    testing::setTrackRows(state.list, {" 1"});
    state.list.setSelected(0, true);

    EXPECT_EQ(onMakeGpx(state, ui), CommandOutcome::Done);

    EXPECT_EQ(testing::readTextFile(dir / "t.gpx"),
              std::string(kGpxHeader) + trackStart("Day", "Red") +
                  "    <trkpt lat=\"55.0230965\" lon=\"14.3999871\">\n"
                  "    <ele>110</ele>\n"
                  "     <time>2007-06-29T12:12:58Z</time>\n"
                  "    </trkpt>\n"
                  "    <trkpt lat=\"55.0233325\" lon=\"14.4004377\">\n"
                  "    <ele>111</ele>\n"
                  "     <time>2007-06-29T12:13:08Z</time>\n"
                  "    </trkpt>\n" +
                  kTrackEnd + "</gpx>\n");
    ASSERT_EQ(ui.saveRequests().size(), 1u);
    EXPECT_EQ(ui.saveRequests()[0].defaultName, "Track.gpx");
    EXPECT_TRUE(ui.messages().empty());
}

TEST(TrackExport, NamesTheDisplayColours) {
    const std::pair<int, const char*> cases[] = {
        {0, "Black"},       {1, "DarkRed"},  {2, "DarkGreen"}, {3, "DarkYellow"}, {4, "DarkBlue"},
        {5, "DarkMagenta"}, {6, "DarkCyan"}, {7, "LightGray"}, {8, "DarkGray"},   {9, "Red"},
        {10, "Green"},      {11, "Yellow"},  {12, "Blue"},     {13, "Magenta"},   {14, "Cyan"},
        {15, "White"},      {16, "Black"},   {200, "Black"},   {255, "Black"}};
    for (const auto& [colour, name] : cases) {
        EXPECT_EQ(trackColorName(static_cast<std::uint8_t>(colour)), name) << colour;
    }
}

struct PointCase {
    TrackPoint point;
    std::string expected;
    bool outOfRange = false;  // outside the GPX ranges as written
};

TEST(TrackExport, WritesAPointsNumbersAndTime) {
    const PointCase cases[] = {
        {{.latitude = 5.5, .longitude = 0, .elevation = -5, .time = 0},
         "    <trkpt lat=\"5.5000000\" lon=\"0.0000000\">\n    <ele>-5</ele>\n"
         "     <time>2007-01-01T00:00:00Z</time>\n    </trkpt>\n"},
        {{.latitude = 55.0230965032039, .longitude = 360, .elevation = 0, .time = 568079999},
         "    <trkpt lat=\"55.0230965\" lon=\"360.0000000\">\n    <ele>0</ele>\n"
         "     <time>2024-12-31T23:59:59Z</time>\n    </trkpt>\n",
         true},
        {{.latitude = 1, .longitude = 2, .elevation = 14249, .time = 568080000},
         "    <trkpt lat=\"1.0000000\" lon=\"2.0000000\">\n    <ele>14249</ele>\n"
         "     <time>2025-01-01T00:00:00Z</time>\n    </trkpt>\n"},
        // A time field of 0xFFFFFFFF, "no time", has no calendar text and so no time line.
        {{.latitude = 1, .longitude = 2, .elevation = 14249, .time = 3758423293u},
         "    <trkpt lat=\"1.0000000\" lon=\"2.0000000\">\n    <ele>14249</ele>\n"
         "    </trkpt>\n"},
        {{.latitude = 1, .longitude = 2, .elevation = -1499, .time = 4294967295u},
         "    <trkpt lat=\"1.0000000\" lon=\"2.0000000\">\n    <ele>-1499</ele>\n"
         "    </trkpt>\n"},
        // At the edges of the ranges the written, rounded text counts.
        {{.latitude = -90.00000004, .longitude = -180, .elevation = 0, .time = 4294967295u},
         "    <trkpt lat=\"-90.0000000\" lon=\"-180.0000000\">\n    <ele>0</ele>\n"
         "    </trkpt>\n"},
        {{.latitude = 0, .longitude = 179.99999996, .elevation = 0, .time = 4294967295u},
         "    <trkpt lat=\"0.0000000\" lon=\"180.0000000\">\n    <ele>0</ele>\n"
         "    </trkpt>\n",
         true},
        {{.latitude = 90.0000001, .longitude = 0, .elevation = 0, .time = 4294967295u},
         "    <trkpt lat=\"90.0000001\" lon=\"0.0000000\">\n    <ele>0</ele>\n"
         "    </trkpt>\n",
         true},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        GpxWriter writer(out);
        GpxTimeFormatter times;
        writeTrackPoint(writer, times, c.point);
        writer.flush();
        EXPECT_EQ(out.str(), c.expected);
        EXPECT_EQ(writer.pointsOutOfRange(), c.outOfRange ? 1u : 0u) << c.expected;
    }
}

TEST(TrackExport, WritesTheSelectedTracksInListOrder) {
    TempDir dir;
    dir.writeFile(kActiveTrackFileName,
                  encoder::encodeActiveTrackFile(
                      {.points = {point(10, 20, 5, 100, true), point(10.5, 20.5, 6, 200, true)}}));
    writeSavedTracks(dir, {.tracks = {{.name = "One", .colour = 15, .points = {point(1, 2, 3, 4)}},
                                      {.name = "Two", .colour = 9, .points = {}},
                                      {.name = "Three", .colour = 0}}});
    AppState state = testing::trackState(dir.path());
    testing::setTrackRows(state.list, {" 0", " 1", " 2", " 3"});
    state.list.setSelected(0, true);
    state.list.setSelected(1, true);
    state.list.setSelected(3, true);

    const std::string text = testing::exportText(state);

    const auto active = text.find(trackStart("Active Track", "Red"));
    const auto one = text.find(trackStart("One", "White"));
    const auto three = text.find(trackStart("Three", "Black") + kTrackEnd);
    ASSERT_NE(active, std::string::npos) << text;
    ASSERT_NE(one, std::string::npos) << text;
    ASSERT_NE(three, std::string::npos) << text;
    EXPECT_LT(active, one);
    EXPECT_LT(one, three);
    EXPECT_EQ(text.find("Two"), std::string::npos);
    EXPECT_EQ(state.recordCount, 2u);
    // The active track's two points, and the one point of track 1.
    std::size_t points = 0;
    for (auto at = text.find("<trkpt"); at != std::string::npos; at = text.find("<trkpt", at + 1)) {
        ++points;
    }
    EXPECT_EQ(points, 3u);
}

TEST(TrackExport, WritesNamesAsEscapedUtf8) {
    TempDir dir;
    writeSavedTracks(dir,
                     {.tracks = {{.name = "\xCF\xF0\xE8\xE2\xE5\xF2"}, {.name = "R&D <1>\x0A"}}});
    AppState state = testing::trackState(dir.path());
    const std::string text = exportRows(state, {" 1", " 2"});
    EXPECT_NE(text.find("  <name>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</name>\n"),
              std::string::npos);
    EXPECT_NE(text.find("  <name>R&amp;D &lt;1&gt;?</name>\n"), std::string::npos);
}

TEST(TrackExport, WritesAnEmptyTrackForANumberTheFileDoesNotHold) {
    TempDir dir;
    // A header claiming more tracks than the file holds changes nothing.
    writeSavedTracks(dir, {.trackCount = 4'000'000'000u, .tracks = {{.name = "One"}}});
    AppState state = testing::trackState(dir.path());
    for (const char* number : {" 2", "99", "-1", "12345678901234567890"}) {
        EXPECT_EQ(exportRows(state, {number}),
                  std::string(kGpxHeader) + "  <trk>\n  </trk>\n</gpx>\n")
            << number;
    }
}

TEST(TrackExport, WritesOnlyThePointsTheFileHolds) {
    TempDir dir;
    // The active track claims four billion points and holds two.
    dir.writeFile(kActiveTrackFileName,
                  encoder::encodeActiveTrackFile(
                      {.pointCount = 4'000'000'000u,
                       .points = {point(1, 1, 1, 1, true), point(2, 2, 2, 2, true)}}));
    // The last saved track claims 65535 points and holds three, the last one cut short.
    encoder::SavedTracksFile file{
        .tracks = {{.name = "A", .points = {point(1, 1, 1, 1)}},
                   {.name = "B",
                    .points = {point(1, 1, 1, 1), point(2, 2, 2, 2), point(3, 3, 3, 3)},
                    .pointCount = 65535}}};
    encoder::Bytes bytes = encoder::encodeSavedTracksFile(file);
    bytes.resize(bytes.size() - 3);
    dir.writeFile(kSavedTracksFileName, bytes);
    AppState state = testing::trackState(dir.path());

    const auto count = [](const std::string& text) {
        std::size_t n = 0;
        for (auto at = text.find("<trkpt"); at != std::string::npos;
             at = text.find("<trkpt", at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count(exportRows(state, {" 0"})), 2u);
    const std::string saved = exportRows(state, {" 2"});
    EXPECT_EQ(count(saved), 2u);
    EXPECT_NE(saved.find("   </trkseg>\n  </trk>\n</gpx>\n"), std::string::npos);
}

TEST(TrackExport, LeavesOutTheTracksOfAVanishedFileAndSaysSo) {
    TempDir dir;
    dir.writeFile(kActiveTrackFileName,
                  encoder::encodeActiveTrackFile({.points = {point(1, 1, 1, 1, true)}}));
    AppState state = testing::trackState(dir.path());
    testing::setTrackRows(state.list, {" 0", " 1", " 2"});
    testing::selectAll(state.list);
    FakeUi ui;
    ui.savePaths.push_back(dir / "t.gpx");

    EXPECT_EQ(onMakeGpx(state, ui), CommandOutcome::Failed);

    const std::string text = testing::readTextFile(dir / "t.gpx");
    EXPECT_EQ(text.rfind(std::string(kGpxHeader) + trackStart("Active Track", "Red"), 0), 0u);
    EXPECT_TRUE(text.ends_with("   </trkseg>\n  </trk>\n</gpx>\n")) << text;
    ASSERT_EQ(ui.messages().size(), 1u);
    const auto message = ui.messages()[0];
    EXPECT_EQ(
        message.text.rfind("Unable to open file " + state.files.savedTracks.string() + "\n", 0), 0u)
        << message.text;
    EXPECT_NE(message.text.find((dir / "t.gpx").string()), std::string::npos);
    EXPECT_EQ(message.icon, Icon::Error);
}

}  // namespace
}  // namespace quillet
