// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/window_placement.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quillet::preview {

namespace {

constexpr int kGap = 8;  // between the two windows

// The rectangle of that size at (left, top), moved the least to lie in the area.
ScreenRect inside(int left, int top, int width, int height, const ScreenRect& area) {
    left = std::max(area.left, std::min(left, area.right - width));
    top = std::max(area.top, std::min(top, area.bottom - height));
    return {left, top, left + width, top + height};
}

}  // namespace

long long overlapArea(const ScreenRect& a, const ScreenRect& b) {
    const long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

ScreenRect placePreview(const ScreenRect& mainWindow, const ScreenRect& list, int width, int height,
                        const ScreenRect& workArea) {
    width = std::max(1, std::min(width, workArea.width()));
    height = std::max(1, std::min(height, workArea.height()));
    const std::array<ScreenRect, 8> places = {
        inside(mainWindow.right + kGap, mainWindow.top, width, height, workArea),
        inside(mainWindow.left - kGap - width, mainWindow.top, width, height, workArea),
        inside(mainWindow.left, mainWindow.bottom + kGap, width, height, workArea),
        inside(mainWindow.left, mainWindow.top - kGap - height, width, height, workArea),
        inside(workArea.right, workArea.top, width, height, workArea),
        inside(workArea.left, workArea.top, width, height, workArea),
        inside(workArea.right, workArea.bottom, width, height, workArea),
        inside(workArea.left, workArea.bottom, width, height, workArea),
    };
    // The first place that covers the least of the list, then of the rest of the main
    // window: in the order above, beside the window first.
    const auto covered = [&](const ScreenRect& place) {
        return std::pair{overlapArea(place, list), overlapArea(place, mainWindow)};
    };
    return *std::min_element(
        places.begin(), places.end(),
        [&covered](const ScreenRect& a, const ScreenRect& b) { return covered(a) < covered(b); });
}

}  // namespace quillet::preview
