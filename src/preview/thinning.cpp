#include "preview/thinning.h"

namespace quillet::preview {

std::vector<ScenePoint> thinLine(std::span<const ScenePoint> points, double tolerance) {
    std::vector<ScenePoint> kept;
    if (points.empty()) {
        return kept;
    }
    const double squared = tolerance * tolerance;
    kept.push_back(points.front());
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const double dx = points[i].x - kept.back().x;
        const double dy = points[i].y - kept.back().y;
        if (dx * dx + dy * dy >= squared) {
            kept.push_back(points[i]);
        }
    }
    if (points.size() > 1) {
        kept.push_back(points.back());
    }
    return kept;
}

}  // namespace quillet::preview
