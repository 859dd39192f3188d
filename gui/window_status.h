// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStatusBar>
#include <string_view>

#include "app/status_text.h"

class QLabel;

namespace quillet::gui {

// The status bar: what the last operation did, then the rows shown, the rows selected
// and the folder.
class WindowStatus : public QStatusBar {
    Q_OBJECT

public:
    explicit WindowStatus(QWidget* parent);

    void showFields(const StatusFields& fields);
    // The line of the last operation; an empty text keeps the line shown.
    void showLine(std::string_view line);

    QString line() const;
    QString rows() const;
    QString selected() const;
    QString folder() const;

private:
    QLabel* line_;
    QLabel* rows_;
    QLabel* selected_;
    QLabel* folder_;
};

}  // namespace quillet::gui
