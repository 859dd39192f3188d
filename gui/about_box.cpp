// SPDX-License-Identifier: GPL-3.0-or-later
#include "about_box.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app_icon.h"
#include "dialog_units.h"

namespace quillet::gui {

namespace {

struct AboutLine {
    const char* text;
    int x, y, width, height;  // dialog units
};

// The name stays as it is; the other lines are translated where they are shown.
constexpr AboutLine kLines[] = {
    {"Quillet", 40, 10, 119, 8},
    {QT_TRANSLATE_NOOP("quillet::gui::AboutBox", "Version 1.0"), 40, 18, 80, 8},
    {QT_TRANSLATE_NOOP("quillet::gui::AboutBox", "Copyright (c) 2026 the Quillet developers"), 40,
     28, 156, 8},
    {QT_TRANSLATE_NOOP("quillet::gui::AboutBox", "GNU General Public License,"), 40, 42, 147, 8},
    {QT_TRANSLATE_NOOP("quillet::gui::AboutBox", "version 3 or later"), 40, 53, 105, 8},
};

constexpr int kIconPixels = 32;

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About"));
    const QIcon icon = applicationIcon();
    setWindowIcon(icon);
    const DialogBaseUnits base = dialogBaseUnits(fontMetrics());

    auto* iconLabel = new QLabel(this);
    iconLabel->setPixmap(icon.pixmap(kIconPixels, kIconPixels));
    iconLabel->setGeometry(
        QRect(dialogRect(11, 17, 0, 0, base).topLeft(), QSize(kIconPixels, kIconPixels)));

    for (const AboutLine& line : kLines) {
        auto* label = new QLabel(tr(line.text), this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // A line keeps its template width, but never cuts its text.
        QRect box = dialogRect(line.x, line.y, line.width, line.height, base);
        box.setWidth(std::max(box.width(), label->sizeHint().width()));
        box.setHeight(std::max(box.height(), label->sizeHint().height()));
        label->setGeometry(box);
    }

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(dialogRect(146, 57, 50, 14, base));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // The template size, grown when a font makes a line wider than its place.
    const QRect used = childrenRect();
    const int margin = dialogUnitsToPixelsX(7, base);
    const QSize size =
        dialogSize(203, 78, base).expandedTo(QSize(used.right() + margin, used.bottom() + margin));
    setFixedSize(size);
}

}  // namespace quillet::gui
