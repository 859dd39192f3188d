#pragma once

#include <span>
#include <vector>

#include "preview/preview_scene.h"

namespace quillet::preview {

// The points of a line worth drawing at the scale: the first, then every point at least
// `tolerance` away from the last one kept, and the last. The points kept are copied as
// they are, never moved.
std::vector<ScenePoint> thinLine(std::span<const ScenePoint> points, double tolerance);

}  // namespace quillet::preview
