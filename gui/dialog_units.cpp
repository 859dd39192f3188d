// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_units.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>

namespace quillet::gui {

namespace {

// units * base / divisor, rounded to the nearest pixel.
int scale(int units, int base, int divisor) {
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor
                                         : -((-product + half) / divisor));
}

}  // namespace

DialogBaseUnits dialogBaseUnits(const QFontMetrics& metrics) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = metrics.horizontalAdvance(letters);
    return DialogBaseUnits{.x = (width / 26 + 1) / 2, .y = metrics.height()};
}

int dialogUnitsToPixelsX(int units, DialogBaseUnits base) {
    return scale(units, base.x, 4);
}

int dialogUnitsToPixelsY(int units, DialogBaseUnits base) {
    return scale(units, base.y, 8);
}

QRect dialogRect(int x, int y, int width, int height, DialogBaseUnits base) {
    return QRect(dialogUnitsToPixelsX(x, base), dialogUnitsToPixelsY(y, base),
                 dialogUnitsToPixelsX(width, base), dialogUnitsToPixelsY(height, base));
}

int columnCharacterWidth(const QFontMetrics& metrics) {
    const int digits = metrics.horizontalAdvance(QStringLiteral("0123456789"));
    return std::max(dialogBaseUnits(metrics).x, (digits + 9) / 10);
}

int columnWidthInPixels(int classicPixels, int characterWidth) {
    return scale(classicPixels, characterWidth, kClassicCharacterWidth);
}

QSize dialogSize(int width, int height, DialogBaseUnits base) {
    return QSize(dialogUnitsToPixelsX(width, base), dialogUnitsToPixelsY(height, base));
}

}  // namespace quillet::gui
