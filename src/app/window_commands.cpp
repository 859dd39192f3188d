// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_commands.h"

#include "app/delete_command.h"
#include "app/list_filter.h"
#include "app/make_gpx_command.h"
#include "app/status_text.h"
#include "edit/file_operations.h"
#include "text/translation.h"

namespace quillet {
namespace {

// The port of the window, remembering the path the person chose in the save dialog.
class SavePathRecorder : public UserInterface {
public:
    explicit SavePathRecorder(UserInterface& ui) : ui_(ui) {}

    Answer showMessage(std::string_view text, std::string_view caption, Buttons buttons,
                       Icon icon) override {
        return ui_.showMessage(text, caption, buttons, icon);
    }
    std::optional<std::filesystem::path> askSavePath(const SaveDialogRequest& request) override {
        chosen = ui_.askSavePath(request);
        return chosen;
    }
    std::string applicationName() const override { return ui_.applicationName(); }

    std::optional<std::filesystem::path> chosen;

private:
    UserInterface& ui_;
};

// The line of a command that did not do its work.
std::string notDoneLine(std::size_t selected, std::string_view nothingDone) {
    return selected == 0 ? translate(kSelectRowsFirst) : std::string(nothingDone);
}

}  // namespace

CommandReport makeGpxOfSelection(AppState& state, UserInterface& ui) {
    const std::optional<ViewKind> view = currentView(state);
    const std::size_t selected = state.list.selectedCount();
    SavePathRecorder recorder(ui);
    CommandReport report;
    report.outcome = makeGpx(state, recorder).outcome;
    report.change = ListChange::Rows;
    if (report.outcome == CommandOutcome::Done && view && recorder.chosen) {
        report.statusLine = wroteLine(*view, selected, *recorder.chosen);
    } else if (view) {
        report.statusLine = notDoneLine(selected, translate("No GPX file was written"));
    }
    return report;
}

CommandReport deleteSelection(AppState& state, UserInterface& ui) {
    SystemFileOperations ops;
    return deleteSelection(state, ui, ops);
}

CommandReport deleteSelection(AppState& state, UserInterface& ui, FileOperations& ops) {
    const std::optional<ViewKind> view = currentView(state);
    const std::size_t selected = state.list.selectedCount();
    const DeleteResult result = onDelete(state, ui, ops);
    CommandReport report;
    report.outcome = result.outcome;
    // The deletion filled the list anew whenever its rows no longer matched the file;
    // otherwise it took the deleted rows out, and the filter's positions follow.
    if (result.listIsStale) {
        report.change = ListChange::New;
    } else {
        applyFilter(state);
        report.change = ListChange::Rows;
    }
    if (result.outcome == CommandOutcome::Done && view) {
        report.statusLine = deletedLine(*view, result);
    } else if (view) {
        report.statusLine = notDoneLine(selected, translate("Nothing was deleted"));
    }
    return report;
}

std::optional<std::size_t> sortByHeading(AppState& state, std::size_t column,
                                         std::optional<std::size_t> focusedShownRow) {
    if (column >= state.list.columnCount()) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> focusedItem =
        focusedShownRow && *focusedShownRow < shownRowCount(state)
            ? std::optional(state.list.itemNumber(listRowOf(state, *focusedShownRow)))
            : std::nullopt;
    state.list.onColumnClick(column);
    applyFilter(state);
    if (!focusedItem) {
        return std::nullopt;
    }
    const int row = state.list.findByItemNumber(*focusedItem);
    return row < 0 ? std::nullopt : shownRowOf(state, static_cast<std::size_t>(row));
}

}  // namespace quillet
