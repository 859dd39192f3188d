// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The user's operations as the benchmarks and the peak-memory runs drive them: open a
// folder, fill a view, click a heading, export every row, delete one waypoint.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "ui/user_interface.h"

namespace quillet::bench {

// Answers every question with OK and every save dialog with the path it was given.
class BenchUi : public UserInterface {
public:
    std::filesystem::path savePath;
    std::size_t messages = 0;

    Answer showMessage(std::string_view, std::string_view, Buttons, Icon) override {
        ++messages;
        return Answer::Ok;
    }
    std::optional<std::filesystem::path> askSavePath(const SaveDialogRequest&) override {
        return savePath;
    }
    std::string applicationName() const override { return "quillet"; }
};

// Start-up in the folder (which fills the first tab). Throws when nothing opens.
std::unique_ptr<AppState> openFolder(const std::filesystem::path& folder, UserInterface& ui);

// Switches to the tab of the view and fills it.
void showView(AppState& state, UserInterface& ui, ViewKind view);

void selectAll(RecordList& list);
void selectOnly(RecordList& list, std::size_t row);

// "Make GPX" of the selected rows into ui.savePath; returns the bytes written.
std::uintmax_t exportSelected(AppState& state, BenchUi& ui);

// Copies every device file of `from` into `to` (replacing what is there).
void copyFolder(const std::filesystem::path& from, const std::filesystem::path& to);

// Peak resident memory of this process in KiB (VmHWM), and a reset of it to the current
// resident size, so that the peak of one operation can be read afterwards.
std::size_t peakResidentKiB();
std::size_t currentResidentKiB();
void resetPeakResident();
// Heap memory in use (allocated and not freed) in KiB.
std::size_t heapInUseKiB();

}  // namespace quillet::bench
