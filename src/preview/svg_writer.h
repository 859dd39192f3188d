// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "preview/preview_scene.h"

namespace quillet::preview {

// The scene as a standalone SVG 1.1 document: one path per track with points, one group
// of a circle and its name per waypoint.
std::string svgDocument(const PreviewScene& scene);

// A map tile under the drawing: its place and its PNG or JPEG bytes.
struct SvgTile {
    SceneRect at;
    std::string bytes;
};

// The same with map tiles under the drawing, embedded as data URIs so that the document
// stands alone, and the map's credit at the map's bottom right.
std::string svgDocument(const PreviewScene& scene, const std::vector<SvgTile>& tiles,
                        const std::string& credit);

// The data URI of an image's bytes: PNG or JPEG by their signature.
std::string imageDataUri(const std::string& bytes);

}  // namespace quillet::preview
