// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

class QFontMetrics;

namespace quillet::gui {

// The window is laid out in dialog units, which follow the font: a horizontal unit is
// a quarter of the font's average character width, a vertical unit an eighth of its
// height.
struct DialogBaseUnits {
    int x = 0;  // average character width in pixels
    int y = 0;  // character height in pixels
};

// The average width is that of the 52 letters A..Z and a..z, halved with rounding up
// after dividing by 26, as the classic dialog manager computes it.
DialogBaseUnits dialogBaseUnits(const QFontMetrics& metrics);

int dialogUnitsToPixelsX(int units, DialogBaseUnits base);
int dialogUnitsToPixelsY(int units, DialogBaseUnits base);
QRect dialogRect(int x, int y, int width, int height, DialogBaseUnits base);
QSize dialogSize(int width, int height, DialogBaseUnits base);

// The views give their column widths in pixels of the classic dialog font, MS Sans Serif
// 8 point, whose horizontal base unit and digits are both 6 pixels wide. The list's font
// is measured the same way: its horizontal base unit, or its average digit where digits
// are wider than its letters (coordinates, times and numbers are mostly digits).
inline constexpr int kClassicCharacterWidth = 6;
int columnCharacterWidth(const QFontMetrics& metrics);
// A classic width scaled by that character width against the classic one, so that it
// holds the same texts; zero stays zero.
int columnWidthInPixels(int classicPixels, int characterWidth);

}  // namespace quillet::gui
