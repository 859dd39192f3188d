// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/actions.h"

#include <algorithm>

#include "app/window_commands.h"
#include "text/translation.h"

namespace quillet {
namespace {

constexpr ActionEntry kActions[] = {
    {Action::Copy, QUILLET_TEXT("&Copy"), "Ctrl+C", true, true},
    {Action::MakeGpx, QUILLET_TEXT("&Make GPX..."), "", true, true},
    {Action::ExportEverything, QUILLET_TEXT("Export &Everything\u2026"), "", true, false},
    {Action::Delete, QUILLET_TEXT("&Delete"), "Del", true, true},
    {Action::Preview, QUILLET_TEXT("Preview"), "Space", true, false},
    {Action::OpenFolder, QUILLET_TEXT("&Open Folder..."), "Ctrl+O", true, false},
    {Action::Reload, QUILLET_TEXT("&Reload"), "F5", true, false},
    {Action::History, QUILLET_TEXT("&History…"), "", true, false},
    {Action::About, QUILLET_TEXT("&About..."), "F1", true, false},
    {Action::Filter, QUILLET_TEXT("&Filter"), "Ctrl+F", false, false},
    {Action::SelectAll, QUILLET_TEXT("Select &All"), "Ctrl+A", false, false},
    {Action::NextTab, QUILLET_TEXT("&Next Tab"), "Ctrl+Tab", false, false},
    {Action::PreviousTab, QUILLET_TEXT("Pre&vious Tab"), "Ctrl+Shift+Tab", false, false},
    {Action::Quit, QUILLET_TEXT("&Quit"), "Ctrl+Q", false, false},
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
    if (entry.needsSelection && selected == 0) {
        // The item and why it is greyed out: "&Copy (Select rows first)".
        return fillIn(translate("{1} ({2})"), {translate(entry.text), translate(kSelectRowsFirst)});
    }
    return translate(entry.text);
}

}  // namespace quillet
