#include "app/actions.h"

#include <algorithm>

#include "app/window_commands.h"

namespace quillet {
namespace {

constexpr ActionEntry kActions[] = {
    {Action::Copy, "&Copy", "Ctrl+C", true, true},
    {Action::MakeGpx, "&Make GPX...", "", true, true},
    {Action::ExportEverything, "Export &Everything\u2026", "", true, false},
    {Action::Delete, "&Delete", "Del", true, true},
    {Action::Preview, "Preview", "Space", true, false},
    {Action::OpenFolder, "&Open Folder...", "Ctrl+O", true, false},
    {Action::Reload, "&Reload", "F5", true, false},
    {Action::History, "&History…", "", true, false},
    {Action::About, "&About...", "F1", true, false},
    {Action::Filter, "&Filter", "Ctrl+F", false, false},
    {Action::SelectAll, "Select &All", "Ctrl+A", false, false},
    {Action::NextTab, "&Next Tab", "Ctrl+Tab", false, false},
    {Action::PreviousTab, "Pre&vious Tab", "Ctrl+Shift+Tab", false, false},
    {Action::Quit, "&Quit", "Ctrl+Q", false, false},
};

}  // namespace

std::span<const ActionEntry> actionTable() {
    return kActions;
}

const ActionEntry& actionEntry(Action action) {
    return *std::find_if(std::begin(kActions), std::end(kActions),
                         [&](const ActionEntry& entry) { return entry.action == action; });
}

bool canRun(Action action, const AppState& state, std::size_t selected) {
    const bool hasView = currentView(state).has_value();
    if (actionEntry(action).needsSelection) {
        return hasView && selected > 0;
    }
    switch (action) {
        case Action::Preview:
        case Action::Reload:
        case Action::Filter:
        case Action::SelectAll:
            return hasView;
        case Action::NextTab:
        case Action::PreviousTab:
            return state.tabs.size() > 1;
        default:
            return true;
    }
}

std::string menuText(Action action, std::size_t selected) {
    const ActionEntry& entry = actionEntry(action);
    std::string text(entry.text);
    if (entry.needsSelection && selected == 0) {
        text += " (" + std::string(kSelectRowsFirst) + ")";
    }
    return text;
}

}  // namespace quillet
