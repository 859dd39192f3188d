// SPDX-License-Identifier: GPL-3.0-or-later
#include "history_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/history_command.h"
#include "text/translation.h"

namespace quillet::gui {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

HistoryDialog::HistoryDialog(AppState& state, UserInterface& ui,
                             std::function<void(const DeleteResult&)> restored, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), restored_(std::move(restored)) {
    setWindowTitle(tr("History"));
    list_ = new QTableWidget(this);
    list_->setColumnCount(static_cast<int>(kHistoryHeadings.size()));
    QStringList headings;
    for (const auto heading : kHistoryHeadings) {
        headings << toQString(translate(heading));
    }
    list_->setHorizontalHeaderLabels(headings);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    restore_ = buttons->addButton(tr("Restore"), QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(560, 320);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(restore_, &QPushButton::clicked, this, &HistoryDialog::restoreChosen);
    connect(list_, &QTableWidget::itemSelectionChanged, this,
            [this] { restore_->setEnabled(!list_->selectedItems().isEmpty()); });
    fill();
}

void HistoryDialog::fill() {
    const auto versions = folderHistory(state_);
    list_->clearContents();
    list_->setRowCount(static_cast<int>(versions.size()));
    for (int row = 0; row < list_->rowCount(); ++row) {
        const auto cells = historyCells(versions[static_cast<std::size_t>(row)]);
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            list_->setItem(
                row, column,
                new QTableWidgetItem(toQString(cells[static_cast<std::size_t>(column)])));
        }
    }
    list_->resizeColumnsToContents();
    restore_->setEnabled(false);
}

void HistoryDialog::restoreChosen() {
    const auto chosen = list_->selectedItems();
    if (chosen.isEmpty()) {
        return;
    }
    const QByteArray id = list_->item(chosen.front()->row(), 0)->text().toUtf8();
    const DeleteResult result = onRestore(
        state_, ui_, std::string_view(id.constData(), static_cast<std::size_t>(id.size())));
    if (restored_) {
        restored_(result);
    }
    fill();
}

}  // namespace quillet::gui
