#pragma once

#include <string>

#include "preview/preview_scene.h"

namespace quillet::preview {

// The scene as a standalone SVG 1.1 document: one path per track with points, one group
// of a circle and its name per waypoint.
std::string svgDocument(const PreviewScene& scene);

}  // namespace quillet::preview
