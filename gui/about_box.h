// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace quillet::gui {

// "About": the icon, the name, the version, the copyright notice and the licence,
// and OK.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace quillet::gui
