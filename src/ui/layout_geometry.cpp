// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/layout_geometry.h"

#include <algorithm>

namespace quillet {

namespace {

LayoutGeometry::Button captureButton(Size client, Rect button) {
    return LayoutGeometry::Button{
        .top = button.y,
        .width = button.width,
        .height = button.height,
        .rightGap = client.width - (button.x + button.width),
    };
}

// A button keeps its size and top edge and its distance to the client's right edge.
Rect placeButton(const LayoutGeometry::Button& button, Size client) {
    return Rect{
        .x = client.width - button.rightGap - button.width,
        .y = button.top,
        .width = std::max(button.width, 0),
        .height = std::max(button.height, 0),
    };
}

}  // namespace

LayoutGeometry captureLayout(Size client, Rect list, Rect makeGpx, Rect remove) {
    return LayoutGeometry{
        .listLeft = list.x,
        .listTop = list.y,
        .listRightGap = client.width - (list.x + list.width),
        .listBottomGap = client.height - (list.y + list.height),
        .makeGpx = captureButton(client, makeGpx),
        .remove = captureButton(client, remove),
    };
}

WindowLayout relayout(const LayoutGeometry& geometry, Size client) {
    // The list keeps its top-left corner and its distances to the right and bottom edges.
    const Rect list{
        .x = geometry.listLeft,
        .y = geometry.listTop,
        .width = std::max(client.width - geometry.listLeft - geometry.listRightGap, 0),
        .height = std::max(client.height - geometry.listTop - geometry.listBottomGap, 0),
    };
    return WindowLayout{
        .list = list,
        .makeGpx = placeButton(geometry.makeGpx, client),
        .remove = placeButton(geometry.remove, client),
    };
}

}  // namespace quillet
