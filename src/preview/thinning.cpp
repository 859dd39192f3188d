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

std::vector<ScenePoint> ColumnThinner::finish() {
    if (count_ > 0) {
        closeColumn();
    }
    return std::move(kept_);
}

}  // namespace quillet::preview
