// SPDX-License-Identifier: GPL-3.0-or-later
#include "record_table_view.h"

#include <QKeyEvent>

namespace quillet::gui {

QModelIndex RecordTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if ((action != MoveHome && action != MoveEnd) || model() == nullptr) {
        return QTableView::moveCursor(action, modifiers);
    }
    const int rows = model()->rowCount(rootIndex());
    if (rows == 0) {
        return {};
    }
    const QModelIndex current = currentIndex();
    const int column = current.isValid() ? current.column() : 0;
    return model()->index(action == MoveHome ? 0 : rows - 1, column, rootIndex());
}

void RecordTableView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        emit copyRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace quillet::gui
