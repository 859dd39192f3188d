// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "encoder/device_encoder.h"
#include "preview/build_scene.h"
#include "preview/geo.h"
#include "preview/preview_selection.h"
#include "preview/svg_writer.h"
#include "preview/thinning.h"
#include "preview/window_placement.h"
#include "support/gpx_fixtures.h"
#include "support/temp_dir.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace quillet::preview {
namespace {

using quillet::testing::TempDir;

constexpr double kWidth = 800;
constexpr double kHeight = 600;
constexpr double kMetresPerDegree = kEarthRadiusMetres * std::numbers::pi / 180;

PreviewTrack track(std::vector<std::pair<double, double>> latLon, std::string name = "t") {
    PreviewTrack result{.name = std::move(name), .colour = {0, 0, 255}, .points = {}};
    DeviceTime time = 100'000'000;
    int elevation = 100;
    for (const auto& [lat, lon] : latLon) {
        result.points.push_back({lat, lon, elevation, time});
        time += 60;
        elevation += 10;
    }
    return result;
}

TEST(PreviewGeo, GreatCircleDistancesOfKnownArcs) {
    EXPECT_NEAR(greatCircleMetres(0, 0, 0, 1), kMetresPerDegree, 1e-6);
    EXPECT_NEAR(greatCircleMetres(0, 0, 90, 0), kMetresPerDegree * 90, 1e-6);
    EXPECT_NEAR(greatCircleMetres(0, 179.5, 0, -179.5), kMetresPerDegree, 1e-6);
    // A quarter turn apart on the 60th parallel: the great circle is shorter than the
    // parallel's arc; cos d = sin^2 60 + cos^2 60 cos 90 = 0.75.
    EXPECT_NEAR(greatCircleMetres(60, 0, 60, 90), std::acos(0.75) * kEarthRadiusMetres, 1e-6);
}

TEST(PreviewScene, FitsTheSelectionNorthUpAndMeasuresTracks) {
    // One degree along the equator, then one north: length and duration come from the
    // points, the line spans the map's inner height, north is up.
    const PreviewSelection selection{.tracks = {track({{0, 10}, {0, 11}, {1, 11}}, "L")}};
    const PreviewScene scene = buildScene(selection, kWidth, kHeight);
    ASSERT_EQ(scene.tracks.size(), 1u);
    const SceneTrack& t = scene.tracks[0];
    EXPECT_NEAR(t.lengthMetres, 2 * kMetresPerDegree, 1e-3);
    EXPECT_EQ(t.durationSeconds, 120u);
    ASSERT_EQ(t.line.size(), 3u);
    EXPECT_LT(t.line[2].y, t.line[1].y);                                     // north is up
    EXPECT_DOUBLE_EQ(t.line[0].y, t.line[1].y);                              // along a parallel
    EXPECT_NEAR(t.line[1].x - t.line[0].x, t.line[1].y - t.line[2].y, 0.2);  // Mercator, square
    ASSERT_TRUE(scene.profile.has_value());
    EXPECT_EQ(scene.legend.at(0).text.text, "L  222 km  0:02:00");
    ASSERT_TRUE(scene.scaleBar.has_value());
    EXPECT_EQ(scene.scaleBar->label, "50 km");
}

TEST(PreviewScene, DrawsATrackAcrossTheAntimeridianInOnePiece) {
    const PreviewSelection selection{.tracks = {track({{-17, 179.5}, {-17, -179.5}})}};
    const PreviewScene scene = buildScene(selection, kWidth, kHeight);
    const auto& line = scene.tracks.at(0).line;
    ASSERT_EQ(line.size(), 2u);
    EXPECT_NEAR(scene.tracks[0].lengthMetres,
                kMetresPerDegree * std::cos(17 * std::numbers::pi / 180), 1.0);
    // Eastwards across the meridian, filling the map's width: not round the world.
    EXPECT_NEAR(line[1].x - line[0].x, kWidth - 2 * 12 - 2 * 10, 1e-6);
}

TEST(PreviewScene, SinglePointsEmptySelectionsAndPolarPoints) {
    // One waypoint lies in the middle of the map, a few hundred metres wide.
    PreviewScene scene = buildScene({.waypoints = {{"Hut & <Lake>", 61.5, 8.25}}}, kWidth, kHeight);
    ASSERT_EQ(scene.waypoints.size(), 1u);
    EXPECT_NEAR(scene.waypoints[0].at.x, kWidth / 2, 1e-6);
    EXPECT_NEAR(scene.waypoints[0].at.y, kHeight / 2, 1e-6);
    EXPECT_EQ(scene.scaleBar->label, "100 m");
    EXPECT_FALSE(scene.profile.has_value());

    // A track of one point: no line length, a dot-sized line, no profile.
    scene = buildScene({.tracks = {track({{45, 7}})}}, kWidth, kHeight);
    EXPECT_EQ(scene.tracks.at(0).lengthMetres, 0);
    EXPECT_EQ(scene.tracks[0].line.size(), 1u);
    EXPECT_FALSE(scene.profile.has_value());

    // Beyond the Mercator range the point is drawn at its edge, and stays finite.
    scene = buildScene({.waypoints = {{"Pole", 90, 0}, {"South", -89.9, 0}}}, kWidth, kHeight);
    for (const SceneWaypoint& waypoint : scene.waypoints) {
        EXPECT_TRUE(std::isfinite(waypoint.at.y) && waypoint.at.y >= 0 && waypoint.at.y <= kHeight);
    }

    scene = buildScene({}, kWidth, kHeight);
    ASSERT_TRUE(scene.message.has_value());
    EXPECT_EQ(scene.message->text, "Select tracks or waypoints to preview");
    EXPECT_TRUE(scene.tracks.empty() && !scene.scaleBar && !scene.profile);
}

TEST(PreviewScene, ThinsALongTrackWithoutMovingAPoint) {
    // A curve from A to B growing in both directions: the fit is that of A and B alone,
    // so the scene of those two tells where every point projects.
    std::vector<std::pair<double, double>> latLon;
    for (int i = 0; i <= 20000; ++i) {
        const double t = i / 20000.0;
        latLon.push_back({47 + 0.05 * t, 8 + 0.05 * t * t});
    }
    const auto ends =
        buildScene({.tracks = {track({latLon.front(), latLon.back()})}}, kWidth, kHeight)
            .tracks.at(0)
            .line;
    const double scaleX = (ends[1].x - ends[0].x) / (0.05 / 360);
    const double scaleY = (ends[1].y - ends[0].y) / (mercatorY(47.05) - mercatorY(47));
    const auto projected = [&](const std::pair<double, double>& point) {
        return ScenePoint{ends[0].x + (point.second - 8) / 360 * scaleX,
                          ends[0].y + (mercatorY(point.first) - mercatorY(47)) * scaleY};
    };

    const auto line = buildScene({.tracks = {track(latLon)}}, kWidth, kHeight).tracks.at(0).line;
    EXPECT_LT(line.size(), 2000u);
    EXPECT_EQ(line.front(), ends.front());
    EXPECT_EQ(line.back(), ends.back());
    std::size_t from = 0;
    for (const ScenePoint& point : line) {
        while (from < latLon.size() && (std::abs(projected(latLon[from]).x - point.x) > 1e-6 ||
                                        std::abs(projected(latLon[from]).y - point.y) > 1e-6)) {
            ++from;
        }
        ASSERT_LT(from, latLon.size()) << "moved: " << point.x << " " << point.y;
    }
}

// Each kept point is an input point, in the input's order.
void expectInOrder(const std::vector<ScenePoint>& kept, const std::vector<ScenePoint>& line,
                   const char* what) {
    auto from = line.begin();
    for (const ScenePoint& point : kept) {
        from = std::find(from, line.end(), point);
        EXPECT_NE(from, line.end()) << what;
    }
}

TEST(PreviewThinning, KeepsFirstAndLastAndNeverMovesAPoint) {
    struct Case {
        const char* what;
        std::vector<ScenePoint> line;
        std::size_t kept;
    };
    std::vector<ScenePoint> dense;
    for (int i = 0; i <= 1000; ++i) {
        dense.push_back({i * 0.01, std::sin(i * 0.1) * 0.2});  // ten units of jitter
    }
    const std::vector<Case> cases = {
        {"empty", {}, 0},
        {"one point", {{3, 4}}, 1},
        {"two close points", {{3, 4}, {3.1, 4}}, 2},
        {"last close to the one before", {{0, 0}, {5, 0}, {5.1, 0}}, 3},
        {"spike below the tolerance", {{0, 0}, {0.2, 0.3}, {0.3, 0}, {4, 0}}, 2},
        {"dense line", dense, 33},
    };
    for (const Case& c : cases) {
        const std::vector<ScenePoint> kept = thinLine(c.line, 0.5);
        EXPECT_EQ(kept.size(), c.kept) << c.what;
        if (c.line.empty()) {
            continue;
        }
        EXPECT_EQ(kept.front(), c.line.front()) << c.what;
        EXPECT_EQ(kept.back(), c.line.back()) << c.what;
        expectInOrder(kept, c.line, c.what);
    }

    // A profile keeps at most the first, lowest, highest and last point of a column.
    ColumnThinner columns;
    for (const ScenePoint& point : dense) {
        columns.add({point.x * 10, point.y});
    }
    std::vector<ScenePoint> profile;
    for (const ScenePoint& point : dense) {
        profile.push_back({point.x * 10, point.y});
    }
    // The profile drawn is one point per column at the column's mean, so that noise
    // reads as a line, not as a band: the first point, 100 means, the last point.
    ColumnMeans means;
    for (const ScenePoint& point : profile) {
        means.add(point);
    }
    const std::vector<ScenePoint> averaged = means.finish();
    ASSERT_EQ(averaged.size(), 102u);
    EXPECT_EQ(averaged.front(), profile.front());
    EXPECT_EQ(averaged.back(), profile.back());
    EXPECT_NEAR(averaged[1].x, 0.5, 1e-9);  // the nine points after the first one
    for (std::size_t i = 1; i + 1 < averaged.size(); ++i) {
        EXPECT_LT(std::abs(averaged[i].y), 0.2) << i;
        EXPECT_GT(averaged[i].x, averaged[i - 1].x) << i;
    }

    const std::vector<ScenePoint> kept = columns.finish();
    EXPECT_LE(kept.size(), 4u * 101);
    EXPECT_GT(kept.size(), 200u);
    EXPECT_EQ(kept.front(), profile.front());
    EXPECT_EQ(kept.back(), profile.back());
    expectInOrder(kept, profile, "profile");
}

// The preview reads the points the track export writes, cut files included.
TEST(PreviewTracks, ReadTheSamePointsAsTheExport) {
    using encoder::PointFields;
    const auto points = [](int count, bool active) {
        std::vector<PointFields> result;
        for (int i = 0; i < count; ++i) {
            result.push_back({.latitudeCode = encoder::trackLatitudeCode(50 + i * 0.001, active),
                              .longitudeCode = encoder::trackLongitudeCode(8 + i * 0.001),
                              .timeField = encoder::trackTimeField(100'000'000u + i)});
        }
        return result;
    };
    TempDir dir;
    encoder::Bytes active = encoder::encodeActiveTrackFile({.points = points(7, true)});
    active.resize(active.size() - 5);  // the last record is cut
    dir.writeFile(kActiveTrackFileName, active);
    encoder::Bytes saved = encoder::encodeSavedTracksFile(
        {.tracks = {{.name = "A", .colour = 3, .points = points(9, false)},
                    {.name = "B", .points = points(20, false)},
                    {.name = "C", .points = points(3, false)}}});
    saved.resize(saved.size() - 111);  // C is gone, B ends inside a point
    dir.writeFile(kSavedTracksFileName, saved);

    AppState state = testing::trackState(dir.path());
    testing::setTrackRows(state.list, {" 2", " 0", " 1", " 3", " 9"});
    testing::selectAll(state.list);
    const std::string gpx = testing::exportText(state);
    std::vector<std::size_t> exported;
    for (std::size_t at = gpx.find("<trk>"); at != std::string::npos;
         at = gpx.find("<trk>", at + 1)) {
        const std::size_t end = gpx.find("</trk>", at);
        std::size_t count = 0;
        for (std::size_t p = gpx.find("<trkpt", at); p < end; p = gpx.find("<trkpt", p + 1)) {
            ++count;
        }
        exported.push_back(count);
    }

    // Taken as a window's thread takes them, read as its worker reads them: the files may
    // have been deleted or replaced in between.
    const PreviewRows rows = takeSelectedRows(state, ViewKind::Tracks);
    std::filesystem::remove(state.files.activeTrack);
    dir.writeFile(kSavedTracksFileName, encoder::encodeSavedTracksFile({}));
    std::vector<std::size_t> previewed;
    for (const PreviewTrack& t : rows.selection().tracks) {
        previewed.push_back(t.points.size());
    }
    EXPECT_EQ(previewed, exported);
    EXPECT_EQ(previewed, (std::vector<std::size_t>{/* B */ 18, 6, 9, 0, 0}));
    EXPECT_EQ(rows.selection().tracks.at(2).colour, trackColour(3));
    EXPECT_TRUE(rows.unreadableFiles().empty());

    // A file that is gone when the rows are taken is named once; its tracks are left out.
    const PreviewRows later = takeSelectedRows(state, ViewKind::Tracks);
    EXPECT_EQ(later.unreadableFiles(), std::vector{state.files.activeTrack});
    EXPECT_EQ(later.selection().unreadableFiles, std::vector{state.files.activeTrack});
    EXPECT_EQ(later.selection().tracks.size(), 4u);
}

std::string xpathCount(const std::filesystem::path& svg, const std::string& expression) {
    const std::string command =
        "xmllint --xpath \"" + expression + "\" '" + svg.string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char chunk[256];
    while (pipe != nullptr && std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
        out += chunk;
    }
    if (pipe != nullptr) {
        pclose(pipe);
    }
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

TEST(PreviewSvg, HoldsOnePathPerTrackWithPointsAndOneLabelledCirclePerWaypoint) {
    if (!testing::haveProgram("xmllint")) {
        GTEST_SKIP() << "xmllint is not installed";
    }
    const struct {
        PreviewSelection selection;
        int paths;
        int circles;
    } cases[] = {
        {{.tracks = {track({{1, 1}, {1.1, 1.2}}, "A&B"), track({}), track({{1, 1}}, "<C>")}}, 2, 0},
        {{.tracks = {track({{1, 1}, {1.1, 1.2}, {1.0, 1.3}})}}, 2, 0},  // and the profile
        {{.waypoints = {{"Hut & <Lake>", 61.5, 8.25}, {"a\x01\"b", 61.6, 8.3}}}, 0, 2},
        {{}, 0, 0},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::string document = svgDocument(buildScene(c.selection, kWidth, kHeight));
        const auto path = dir.writeFile("p.svg", document);
        EXPECT_EQ(std::system(("xmllint --noout '" + path.string() + "'").c_str()), 0) << document;
        const int tracksWithPoints = static_cast<int>(
            std::count_if(c.selection.tracks.begin(), c.selection.tracks.end(),
                          [](const PreviewTrack& t) { return !t.points.empty(); }));
        EXPECT_EQ(
            xpathCount(path,
                       "count(//*[local-name()='g'][@class='track']/*/*[local-name()='path'])"),
            std::to_string(tracksWithPoints));
        EXPECT_EQ(xpathCount(path, "count(//*[local-name()='path'])"), std::to_string(c.paths))
            << document;
        EXPECT_EQ(xpathCount(path,
                             "count(//*[local-name()='g'][@class='waypoint']"
                             "[*[local-name()='circle'] and *[local-name()='text']!=''])"),
                  std::to_string(c.circles));
    }
    const std::string waypoints = svgDocument(buildScene(cases[2].selection, kWidth, kHeight));
    EXPECT_NE(waypoints.find(">Hut &amp; &lt;Lake&gt;</text>"), std::string::npos);
    EXPECT_NE(waypoints.find(">a?&quot;b</text>"), std::string::npos);
}

TEST(PreviewScene, DashesTheActiveTrackAndKeepsNamesInThePicture) {
    // The active track and a saved "Red" track: both red, one entry each, and the
    // active one dashed in the scene and in the drawing.
    PreviewTrack active = track({{47, 8}, {47.01, 8.01}}, "Active Track");
    active.colour = {255, 0, 0};
    active.active = true;
    PreviewTrack red = track({{47, 8.02}, {47.01, 8.03}}, "Red");
    red.colour = {255, 0, 0};
    const PreviewScene tracks = buildScene({.tracks = {active, red}}, kWidth, kHeight);
    ASSERT_EQ(tracks.legend.size(), 2u);
    EXPECT_TRUE(tracks.tracks[0].dashed && tracks.legend[0].dashed);
    EXPECT_FALSE(tracks.tracks[1].dashed || tracks.legend[1].dashed);
    const std::string svg = svgDocument(tracks);
    std::size_t dashes = 0;
    for (std::size_t at = 0;
         (at = svg.find("stroke-dasharray=\"6.0 4.0\"", at)) != std::string::npos; ++at) {
        ++dashes;
    }
    EXPECT_EQ(dashes, 2u);  // the line and its swatch

    // A name that would run off the right edge ends left of its dot; others stay right.
    const std::string longName(50, 'W');
    const PreviewScene names = buildScene(
        {.waypoints = {{"West", 47, 8}, {longName, 47, 8.006}, {"E", 47, 8.01}}}, kWidth, kHeight);
    ASSERT_EQ(names.waypoints.size(), 3u);
    EXPECT_FALSE(names.waypoints[0].nameLeft);
    EXPECT_TRUE(names.waypoints[1].nameLeft);
    EXPECT_FALSE(names.waypoints[2].nameLeft);
    for (const SceneWaypoint& w : names.waypoints) {
        const double extent =
            kNameGap + static_cast<double>(w.name.size()) * kCharacterWidth * kTextSize;
        EXPECT_GE(w.nameLeft ? w.at.x - extent : 0, 0) << w.name;
        EXPECT_LE(w.nameLeft ? 0 : w.at.x + extent, kWidth) << w.name;
    }
}

TEST(PreviewWindowPlacement, BesideTheMainWindowAndOffItsList) {
    struct Case {
        const char* what;
        ScreenRect main, list;
        int width, height;
        ScreenRect workArea, expected;
    };
    constexpr ScreenRect kScreen{0, 0, 1920, 1080};
    const std::vector<Case> cases = {
        {"room on the right",
         {100, 100, 900, 700},
         {110, 140, 890, 650},
         640,
         480,
         kScreen,
         {908, 100, 1548, 580}},
        {"at the right edge: left of it",
         {1200, 100, 1900, 700},
         {1210, 140, 1890, 650},
         640,
         480,
         kScreen,
         {552, 100, 1192, 580}},
        {"as wide as the screen: below, over the list's foot",
         {0, 0, 1920, 700},
         {10, 40, 1910, 650},
         640,
         480,
         kScreen,
         {0, 600, 640, 1080}},
        {"maximised: where it covers the least",
         {0, 0, 1920, 1080},
         {10, 40, 1910, 1000},
         640,
         480,
         kScreen,
         {0, 600, 640, 1080}},
        {"larger than the screen",
         {100, 100, 900, 700},
         {110, 140, 890, 650},
         3000,
         2000,
         kScreen,
         kScreen},
        {"on a second monitor",
         {2000, 100, 2800, 700},
         {2010, 140, 2790, 650},
         640,
         480,
         {1920, 0, 3840, 1080},
         {2808, 100, 3448, 580}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(placePreview(c.main, c.list, c.width, c.height, c.workArea), c.expected)
            << c.what;
    }
    EXPECT_EQ(overlapArea({0, 0, 10, 10}, {5, 5, 20, 20}), 25);
    EXPECT_EQ(overlapArea({0, 0, 10, 10}, {10, 0, 20, 10}), 0);
}

}  // namespace
}  // namespace quillet::preview
