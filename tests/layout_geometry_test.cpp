// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/layout_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace quillet {

void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "{" << rect.x << ", " << rect.y << ", " << rect.width << ", " << rect.height << "}";
}

void PrintTo(const WindowLayout& layout, std::ostream* out) {
    *out << "list ";
    PrintTo(layout.list, out);
    *out << " make ";
    PrintTo(layout.makeGpx, out);
    *out << " delete ";
    PrintTo(layout.remove, out);
}

namespace {

// A 600 x 350 client area with the list and the two buttons near its edges.
constexpr Size kClient{600, 350};
constexpr Rect kList{12, 54, 575, 283};
constexpr Rect kMakeGpx{503, 11, 83, 23};
constexpr Rect kDelete{415, 11, 83, 23};

TEST(LayoutGeometry, CapturesTheOriginAndTheGapsToTheRightAndBottomEdges) {
    const LayoutGeometry expected{
        .listLeft = 12,
        .listTop = 54,
        .listRightGap = 13,
        .listBottomGap = 13,
        .makeGpx = {.top = 11, .width = 83, .height = 23, .rightGap = 14},
        .remove = {.top = 11, .width = 83, .height = 23, .rightGap = 102},
    };
    EXPECT_EQ(captureLayout(kClient, kList, kMakeGpx, kDelete), expected);
}

struct ResizeCase {
    Size client;
    WindowLayout expected;
};

TEST(LayoutGeometry, AnchorsTheListAndTheButtonsToTheEdges) {
    const LayoutGeometry geometry = captureLayout(kClient, kList, kMakeGpx, kDelete);
    const ResizeCase cases[] = {
        // The captured size gives back the captured rectangles.
        {kClient, {kList, kMakeGpx, kDelete}},
        // Larger: the list grows by the change, the buttons move right by the width change.
        {{700, 400}, {{12, 54, 675, 333}, {603, 11, 83, 23}, {515, 11, 83, 23}}},
        {{550, 300}, {{12, 54, 525, 233}, {453, 11, 83, 23}, {365, 11, 83, 23}}},
        // Exactly the gaps: an empty list.
        {{25, 67}, {{12, 54, 0, 0}, {-72, 11, 83, 23}, {-160, 11, 83, 23}}},
        // Smaller than the gaps or minimised: widths and heights stop at zero.
        {{10, 20}, {{12, 54, 0, 0}, {-87, 11, 83, 23}, {-175, 11, 83, 23}}},
        {{0, 0}, {{12, 54, 0, 0}, {-97, 11, 83, 23}, {-185, 11, 83, 23}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(relayout(geometry, c.client), c.expected)
            << c.client.width << " x " << c.client.height;
    }
}

TEST(LayoutGeometry, NeverProducesANegativeSize) {
    // Controls that already stuck out of the client area when it was captured.
    const LayoutGeometry geometry =
        captureLayout({100, 50}, {10, 10, 200, 100}, {90, 5, 30, -4}, {0, 0, -10, 10});
    const WindowLayout layout = relayout(geometry, {100, 50});
    EXPECT_EQ(layout.list, (Rect{10, 10, 200, 100}));
    EXPECT_EQ(layout.makeGpx, (Rect{90, 5, 30, 0}));
    EXPECT_EQ(layout.remove, (Rect{0, 0, 0, 10}));
}

}  // namespace
}  // namespace quillet
