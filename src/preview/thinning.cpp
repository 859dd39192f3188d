// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/thinning.h"

#include <cmath>
#include <utility>

namespace quillet::preview {

std::vector<ScenePoint> thinLine(std::span<const ScenePoint> points, double tolerance) {
    LineThinner thinner(tolerance);
    for (const ScenePoint& point : points) {
        thinner.add(point);
    }
    return thinner.finish();
}

void ColumnThinner::add(ScenePoint point) {
    const double column = std::floor(point.x);
    if (count_ > 0 && column != column_) {
        closeColumn();
    }
    if (count_ == 0) {
        column_ = column;
        first_ = lowest_ = highest_ = point;
        lowestAt_ = highestAt_ = 0;
    } else if (point.y > lowest_.y) {  // y grows downwards
        lowest_ = point;
        lowestAt_ = count_;
    } else if (point.y < highest_.y) {
        highest_ = point;
        highestAt_ = count_;
    }
    last_ = point;
    ++count_;
}

void ColumnThinner::closeColumn() {
    kept_.push_back(first_);
    // The extremes in the order they came, each once.
    const bool lowestFirst = lowestAt_ < highestAt_;
    for (const auto& [point, at] :
         {lowestFirst ? std::pair{lowest_, lowestAt_} : std::pair{highest_, highestAt_},
          lowestFirst ? std::pair{highest_, highestAt_} : std::pair{lowest_, lowestAt_}}) {
        if (at != 0 && at != count_ - 1) {
            kept_.push_back(point);
        }
    }
    if (count_ > 1) {
        kept_.push_back(last_);
    }
    count_ = 0;
}

void ColumnMeans::add(ScenePoint point) {
    if (kept_.empty() && count_ == 0) {
        kept_.push_back(point);  // the first point as it is
        column_ = std::floor(point.x);
        last_ = point;
        return;
    }
    const double column = std::floor(point.x);
    if (count_ > 0 && column != column_) {
        closeColumn();
    }
    if (count_ == 0) {
        column_ = column;
        sumX_ = sumY_ = 0;
    }
    sumX_ += point.x;
    sumY_ += point.y;
    last_ = point;
    ++count_;
}

void ColumnMeans::closeColumn() {
    const double n = static_cast<double>(count_);
    kept_.push_back({sumX_ / n, sumY_ / n});
    count_ = 0;
}

std::vector<ScenePoint> ColumnMeans::finish() {
    if (count_ > 1) {
        closeColumn();
    }
    if (count_ > 0) {
        kept_.push_back(last_);  // the last point as it is
    }
    count_ = 0;
    return std::move(kept_);
}

std::vector<ScenePoint> ColumnThinner::finish() {
    if (count_ > 0) {
        closeColumn();
    }
    return std::move(kept_);
}

}  // namespace quillet::preview
