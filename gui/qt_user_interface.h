// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/user_interface.h"

namespace quillet::gui {

// The UserInterface port with Qt's modal message boxes and save dialog. Until the main
// window exists (start-up messages) the boxes have no parent.
class QtUserInterface : public UserInterface {
public:
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    Answer showMessage(std::string_view text, std::string_view caption, Buttons buttons,
                       Icon icon) override;
    std::optional<std::filesystem::path> askSavePath(const SaveDialogRequest& request) override;
    std::string applicationName() const override;
    // The question's message box with a check box under it.
    Answer askWithHistoryBox(std::string_view text, std::string_view caption, bool& keep) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace quillet::gui
