// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

namespace quillet::gui {

// The record list's view with the keys of a list rather than a grid: Home and End (with
// or without Ctrl) go to the first and the last row and stay in the column; Ctrl+C asks
// the window for a copy of the selected rows.
class RecordTableView : public QTableView {
    Q_OBJECT

public:
    using QTableView::QTableView;

signals:
    void copyRequested();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quillet::gui
