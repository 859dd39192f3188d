// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "preview/preview_scene.h"
#include "preview/preview_selection.h"
#include "text/translation.h"

namespace quillet::preview {

inline constexpr const char* kNothingSelectedText =
    QUILLET_TEXT("Select tracks or waypoints to preview");

// The picture of the selection in a width x height area: north up, Web Mercator, fitted
// to the selection's bounds with a margin (a selection narrower than a few hundred
// metres is shown at that width). A selection that crosses the 180th meridian is drawn
// in one piece. Track lines are thinned to half a unit. One track alone gets the
// elevation profile under the map.
PreviewScene buildScene(const PreviewSelection& selection, double width, double height);

// The person's zoom and pan from the fit: the map is `zoom` times as large about the
// map area's centre, then moved by panX, panY units.
struct ViewChange {
    double zoom = 1;
    double panX = 0;
    double panY = 0;
    friend bool operator==(const ViewChange&, const ViewChange&) = default;
};

inline constexpr double kMinViewZoom = 1.0 / 64;
inline constexpr double kMaxViewZoom = 65536;

// The view zoomed by `factor` (kept between the limits) about the place `about` of the
// picture, which stays where it is; about the map's zoom centre without one.
ViewChange zoomedView(const ViewChange& view, const SceneMapFrame& frame, double factor,
                      std::optional<ScenePoint> about);

// The scene's own words (the units, the profile's and the legend's texts, the hint when
// nothing is selected): English in a picture that is written out as a document, the
// person's language in a window. Names from the device are never translated.
enum class SceneWording { English, PersonsLanguage };

PreviewScene buildScene(const PreviewSelection& selection, double width, double height,
                        const ViewChange& view, SceneWording wording = SceneWording::English);

// "850 m", "2.35 km", "12.3 km", "123 km".
std::string lengthText(double metres);
// "0:42:07", "27:03:00".
std::string durationText(std::uint32_t seconds);

}  // namespace quillet::preview
