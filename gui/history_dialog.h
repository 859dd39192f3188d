// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>

#include "app/app_state.h"
#include "edit/delete_records.h"
#include "ui/user_interface.h"

class QPushButton;
class QTableWidget;

namespace quillet::gui {

// "History…": the stored versions of the current folder's device files, newest first,
// and a Restore button for the chosen one. The restore is the core's, with its question;
// afterwards the list is filled anew and `restored` tells the main window.
class HistoryDialog : public QDialog {
    Q_OBJECT

public:
    HistoryDialog(AppState& state, UserInterface& ui,
                  std::function<void(const DeleteResult&)> restored, QWidget* parent = nullptr);

    QTableWidget* versionList() const { return list_; }
    QPushButton* restoreButton() const { return restore_; }
    void restoreChosen();

private:
    void fill();

    AppState& state_;
    UserInterface& ui_;
    std::function<void(const DeleteResult&)> restored_;
    QTableWidget* list_ = nullptr;
    QPushButton* restore_ = nullptr;
};

}  // namespace quillet::gui
