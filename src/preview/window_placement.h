// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the preview window opens: beside the main window, never over its list.

namespace quillet::preview {

// A rectangle of the screen in pixels; right and bottom are exclusive.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The area two rectangles share, in square pixels.
long long overlapArea(const ScreenRect& a, const ScreenRect& b);

// The frame of a preview window of the given size (its frame, not its client area):
// right of the main window, else left of it, below it or above it, each moved inside
// the work area; the first of these that covers neither the list nor the rest of the
// main window. Without one, the place among these and the work area's corners that
// covers the least of the list, then of the main window.
// A preview larger than the work area is made as large as the work area.
ScreenRect placePreview(const ScreenRect& mainWindow, const ScreenRect& list, int width, int height,
                        const ScreenRect& workArea);

}  // namespace quillet::preview
