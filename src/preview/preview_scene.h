// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The picture of a selection as plain data, in device-independent units with the origin
// at the top left and y growing downwards. Every front end paints it the same way, in
// this order: the background, track lines (each over a darker casing), waypoint dots
// with their names, the legend, the scale bar, the elevation profile and the message.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillet::preview {

inline constexpr double kTextSize = 12;                  // height of every text
inline constexpr double kLineWidth = 2;                  // track lines
inline constexpr double kCasingWidth = 4;                // the darker line under each track
inline constexpr double kWaypointRadius = 3.5;           // waypoint dots
inline constexpr double kNameGap = kWaypointRadius + 3;  // from a dot's centre to its name
inline constexpr double kNameDrop = kTextSize / 3;       // a name's baseline below its dot
inline constexpr double kTickHeight = 5;                 // the scale bar's end ticks
inline constexpr double kScaleLabelRise = 7;             // the scale bar's label baseline above it
// A legend entry's colour: a line from kSwatchFrom to kSwatchTo units left of its text,
// kSwatchRise of the text's height above the baseline.
inline constexpr double kSwatchFrom = 16;
inline constexpr double kSwatchTo = 4;
inline constexpr double kSwatchRise = 0.35;
// The active track's line and swatch are dashed, so that they differ from a saved track
// of the same colour: kDashOn units drawn, then kDashOff left out.
inline constexpr double kDashOn = 6;
inline constexpr double kDashOff = 4;
// A name's width as the scene reckons with it, per character, of the text's height.
inline constexpr double kCharacterWidth = 0.62;

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kBackground{238, 241, 236};
inline constexpr Colour kCasing{60, 60, 60};
inline constexpr Colour kInk{30, 30, 30};  // texts, dots, the scale bar, the profile frame

struct ScenePoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const ScenePoint&, const ScenePoint&) = default;
};

struct SceneRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// A text whose baseline starts at `at`.
struct SceneText {
    ScenePoint at;
    std::string text;  // UTF-8
};

struct SceneTrack {
    std::string name;  // UTF-8
    Colour colour;
    double lengthMetres = 0;                       // great-circle sum over its points
    std::optional<std::uint32_t> durationSeconds;  // last point's time less the first's
    std::size_t pointCount = 0;                    // points read, before thinning
    std::vector<ScenePoint> line;                  // thinned; empty without points
    bool dashed = false;                           // the active track
};

struct SceneWaypoint {
    ScenePoint at;
    std::string name;       // UTF-8
    bool nameLeft = false;  // near the right edge: the name ends left of the dot
};

// A line from `start` to the right, with ticks at both ends and its label above.
struct SceneScaleBar {
    ScenePoint start;
    double length = 0;
    std::string label;  // "500 m", "2 km"
};

// Elevation against distance along the one selected track.
struct SceneProfile {
    SceneRect frame;
    std::vector<ScenePoint> line;
    std::vector<SceneText> labels;  // highest and lowest elevation, the distance
};

struct LegendEntry {
    Colour colour;
    SceneText text;  // the track's name, length and duration
    bool dashed = false;
};

// Where the map lies under the drawing: a place at x, y in Mercator turns (x the
// longitude over 360, unwrapped as the tracks are) is at offsetX + x * scale,
// offsetY + y * scale; map tiles fill `area`.
struct SceneMapFrame {
    double scale = 1;
    double offsetX = 0;
    double offsetY = 0;
    SceneRect area;
    ScenePoint zoomCentre;  // what a ViewChange zooms about
};

struct PreviewScene {
    double width = 0;
    double height = 0;
    std::vector<SceneTrack> tracks;
    std::vector<SceneWaypoint> waypoints;
    std::vector<LegendEntry> legend;
    std::optional<SceneScaleBar> scaleBar;
    std::optional<SceneProfile> profile;
    std::optional<SceneText> message;       // "Select tracks or waypoints to preview"
    std::optional<SceneMapFrame> mapFrame;  // none without a place to show
};

}  // namespace quillet::preview
