// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include "ui/user_interface.h"

namespace quillet::win {

// The core's port in the native window: MessageBoxW and GetSaveFileNameW, owned by the
// main window once it exists.
class Win32UserInterface : public UserInterface {
public:
    Answer showMessage(std::string_view text, std::string_view caption, Buttons buttons,
                       Icon icon) override;
    std::optional<std::filesystem::path> askSavePath(const SaveDialogRequest& request) override;
    std::string applicationName() const override;
    // The question in a dialog of its own with the history box under it.
    Answer askWithHistoryBox(std::string_view text, std::string_view caption, bool& keep) override;

    void setOwner(HWND owner) { owner_ = owner; }

private:
    HWND owner_ = nullptr;
};

// The MessageBoxW style of a message: its buttons and icon.
UINT messageBoxStyle(Buttons buttons, Icon icon);

// The filter of the save dialog: the shown text, then the pattern of the extension,
// each ended by a zero, and a second zero at the end.
std::wstring saveDialogFilter(const SaveDialogRequest& request);

}  // namespace quillet::win
