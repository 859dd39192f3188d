// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>

#include "app/app_state.h"

namespace quillet::gui {

// The rows of the core's RecordList that the filter shows, as a table for the list view.
// Nothing is copied: each visible cell is read from the list and converted from the device code
// page when the view asks for it. The row and column counts the views see are those of the last
// reload or refresh, so a view that repaints while a core command is still changing the list
// (behind a modal message box) reads empty cells rather than rows that have gone.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit RecordTableModel(const AppState& state, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The tooltip of a column's heading; none without it or where it gives "".
    void setHeadingTip(std::function<QString(int section)> tip) { headingTip_ = std::move(tip); }

    // After a fill: rows and columns are new.
    void reload();
    // After the rows were reordered or their texts changed in place (a sort, an export).
    // Falls back to a reload when the counts have changed after all.
    void refresh();

private:
    const AppState& state_;
    const RecordList& list_;
    int rows_ = 0;
    int columns_ = 0;
    std::function<QString(int)> headingTip_;
};

}  // namespace quillet::gui
