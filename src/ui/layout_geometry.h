// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillet {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// What the main window keeps of its initial layout so that a resize can anchor the
// list to the top-left and right/bottom edges and the buttons to the right edge.
struct LayoutGeometry {
    int listLeft = 0;
    int listTop = 0;
    int listRightGap = 0;
    int listBottomGap = 0;
    struct Button {
        int top = 0;
        int width = 0;
        int height = 0;
        int rightGap = 0;
        friend bool operator==(const Button&, const Button&) = default;
    };
    Button makeGpx;
    Button remove;  // the "Delete" button
    friend bool operator==(const LayoutGeometry&, const LayoutGeometry&) = default;
};

struct WindowLayout {
    Rect list;
    Rect makeGpx;
    Rect remove;
    friend bool operator==(const WindowLayout&, const WindowLayout&) = default;
};

LayoutGeometry captureLayout(Size client, Rect list, Rect makeGpx, Rect remove);
// Widths and heights below zero are clamped to zero.
WindowLayout relayout(const LayoutGeometry& geometry, Size client);

}  // namespace quillet
