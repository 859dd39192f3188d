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

}  // namespace quillet::gui
