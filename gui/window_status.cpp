// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_status.h"

#include <QLabel>

namespace quillet::gui {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

WindowStatus::WindowStatus(QWidget* parent)
    : QStatusBar(parent),
      line_(new QLabel(this)),
      rows_(new QLabel(this)),
      selected_(new QLabel(this)),
      folder_(new QLabel(this)) {
    setSizeGripEnabled(false);
    addWidget(line_, 1);
    addPermanentWidget(rows_);
    addPermanentWidget(selected_);
    addPermanentWidget(folder_);
}

void WindowStatus::showFields(const StatusFields& fields) {
    rows_->setText(toQString(fields.rows));
    selected_->setText(toQString(fields.selected));
    folder_->setText(toQString(fields.folder));
    folder_->setToolTip(folder_->text());
}

void WindowStatus::showLine(std::string_view line) {
    if (!line.empty()) {
        line_->setText(toQString(line));
    }
}

QString WindowStatus::line() const {
    return line_->text();
}
QString WindowStatus::rows() const {
    return rows_->text();
}
QString WindowStatus::selected() const {
    return selected_->text();
}
QString WindowStatus::folder() const {
    return folder_->text();
}

}  // namespace quillet::gui
