// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <functional>

#include "app/app_state.h"
#include "edit/delete_records.h"
#include "ui/user_interface.h"

namespace quillet::win {

// "History…": a modal list of the current folder's stored versions, newest first, with a
// Restore button for the chosen one. The restore is the core's, with its question;
// `restored` tells the main window after each one, and the list is filled anew.
void showHistoryDialog(HINSTANCE instance, HWND owner, AppState& state, UserInterface& ui,
                       const std::function<void(const DeleteResult&)>& restored);

// The question of a deletion or a restore with the box "Keep the current file in the
// history" under it; `keep` ticks the box at first and tells how it was left.
Answer askWithHistoryBox(HWND owner, std::string_view text, std::string_view caption, bool& keep);

}  // namespace quillet::win
