// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <vector>

#include "preview/preview_scene.h"

namespace quillet::preview {

// Thins a line given point by point: the first point, then every point at least
// `tolerance` away from the last one kept, and the last point.
class LineThinner {
public:
    explicit LineThinner(double tolerance) : squared_(tolerance * tolerance) {}

    void add(ScenePoint point) {
        if (kept_.empty()) {
            kept_.push_back(point);
            return;
        }
        const double dx = point.x - kept_.back().x;
        const double dy = point.y - kept_.back().y;
        if (dx * dx + dy * dy >= squared_) {
            kept_.push_back(point);
            lastKept_ = true;
        } else {
            last_ = point;
            lastKept_ = false;
        }
    }

    // Whether a point within `share` of the tolerance of `near` would surely be kept.
    bool wouldKeep(ScenePoint near, double share) const {
        if (kept_.empty()) {
            return true;
        }
        const double dx = near.x - kept_.back().x;
        const double dy = near.y - kept_.back().y;
        return dx * dx + dy * dy >= squared_ * share * share;
    }

    // The points kept; the thinner starts again empty.
    std::vector<ScenePoint> finish() {
        if (!lastKept_) {
            kept_.push_back(last_);
        }
        lastKept_ = true;
        return std::move(kept_);
    }

private:
    double squared_;
    std::vector<ScenePoint> kept_;
    ScenePoint last_;
    bool lastKept_ = true;  // the last point added is kept (or none was added)
};

// Thins a line whose x never decreases (a profile) to at most four points per unit
// column: the first, lowest, highest and last of the column, in their order. The first
// and last points of the line are kept; no point is moved.
class ColumnThinner {
public:
    void add(ScenePoint point);
    std::vector<ScenePoint> finish();

private:
    void closeColumn();

    std::vector<ScenePoint> kept_;
    double column_ = 0;
    std::size_t count_ = 0;  // points of the open column
    ScenePoint first_, lowest_, highest_, last_;
    std::size_t lowestAt_ = 0, highestAt_ = 0;
};

// Thins a line whose x never decreases (a profile) to one point per unit column, at the
// mean of the column's points, so that a noisy line reads as its course and not as a
// band. The first and last points of the line are kept as they are.
class ColumnMeans {
public:
    void add(ScenePoint point);
    std::vector<ScenePoint> finish();

private:
    void closeColumn();

    std::vector<ScenePoint> kept_;
    double column_ = 0;
    std::size_t count_ = 0;  // points of the open column
    double sumX_ = 0, sumY_ = 0;
    ScenePoint last_;
};

// The points of a line worth drawing at the scale: the first, then every point at least
// `tolerance` away from the last one kept, and the last. The points kept are copied as
// they are, never moved.
std::vector<ScenePoint> thinLine(std::span<const ScenePoint> points, double tolerance);

}  // namespace quillet::preview
