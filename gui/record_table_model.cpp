// SPDX-License-Identifier: GPL-3.0-or-later
#include "record_table_model.h"

#include "app/list_filter.h"
#include "device/code_page.h"
#include "text/translation.h"

namespace quillet::gui {

namespace {

QVariant alignmentOf(const Column& column) {
    const Qt::Alignment horizontal =
        column.alignment == Alignment::Center ? Qt::AlignHCenter : Qt::AlignLeft;
    return QVariant::fromValue(horizontal | Qt::AlignVCenter);
}

QString displayText(std::string_view deviceText) {
    const std::string utf8 = deviceTextToUtf8(deviceText);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

RecordTableModel::RecordTableModel(const AppState& state, QObject* parent)
    : QAbstractTableModel(parent), state_(state), list_(state.list) {
    reload();
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const auto shown = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    if (shown >= shownRowCount(state_) || column >= list_.columnCount()) {
        return {};
    }
    const std::size_t row = listRowOf(state_, shown);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return displayText(list_.text(row, column));
        case Qt::TextAlignmentRole:
            return alignmentOf(list_.column(column));
        default:
            return {};
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<std::size_t>(section) >= list_.columnCount()) {
        return {};
    }
    const Column& column = list_.column(static_cast<std::size_t>(section));
    switch (role) {
        case Qt::DisplayRole: {
            // The core keeps the English heading, its sort key; the window shows it in
            // the person's language.
            const std::string heading = translate(column.heading);
            return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
        }
        case Qt::TextAlignmentRole:
            return alignmentOf(column);
        case Qt::ToolTipRole:
            if (headingTip_ && !headingTip_(section).isEmpty()) {
                return headingTip_(section);
            }
            return {};
        default:
            return {};
    }
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void RecordTableModel::reload() {
    beginResetModel();
    rows_ = static_cast<int>(shownRowCount(state_));
    columns_ = static_cast<int>(list_.columnCount());
    endResetModel();
}

void RecordTableModel::refresh() {
    if (rows_ != static_cast<int>(shownRowCount(state_)) ||
        columns_ != static_cast<int>(list_.columnCount())) {
        reload();
        return;
    }
    // The same rows and columns in another order: the views keep their scroll position
    // and column widths; the window puts the selection back from the rows' flags.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

}  // namespace quillet::gui
