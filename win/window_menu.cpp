// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_menu.h"

#include "wide_text.h"

namespace quillet::win {

namespace {

// The actions' items follow the context menu's entries of the resource identifiers.
constexpr UINT kFirstActionCommand = 0x2000;

}  // namespace

UINT commandOf(Action action) {
    return kFirstActionCommand + static_cast<UINT>(action);
}

std::optional<Action> actionOfCommand(UINT command) {
    const auto last = static_cast<UINT>(Action::Quit);
    if (command < kFirstActionCommand || command > kFirstActionCommand + last) {
        return std::nullopt;
    }
    return static_cast<Action>(command - kFirstActionCommand);
}

HMENU createContextMenu(const AppState& state, std::size_t selected) {
    const HMENU menu = CreatePopupMenu();
    for (const ActionEntry& entry : actionTable()) {
        if (!entry.inContextMenu) {
            continue;
        }
        std::string text = menuText(entry.action, selected);
        if (!entry.key.empty()) {
            text.push_back('\t');
            text.append(entry.key);
        }
        const UINT flags = MF_STRING | (canRun(entry.action, state, selected) ? 0 : MF_GRAYED);
        AppendMenuW(menu, flags, commandOf(entry.action), toWide(text).c_str());
    }
    return menu;
}

std::optional<Action> actionOfKey(WPARAM key, bool control, bool shift, KeyPlace place) {
    if (control) {
        switch (key) {
            case 'O':
                return Action::OpenFolder;
            case 'F':
                return Action::Filter;
            case 'Q':
                return Action::Quit;
            case VK_TAB:
                return shift ? Action::PreviousTab : Action::NextTab;
            case 'C':
                return place == KeyPlace::List ? std::optional(Action::Copy) : std::nullopt;
            case 'A':
                return place == KeyPlace::List ? std::optional(Action::SelectAll) : std::nullopt;
            default:
                return std::nullopt;
        }
    }
    switch (key) {
        case VK_F1:
            return Action::About;
        case VK_F5:
            return Action::Reload;
        case VK_SPACE:
            // Space in the list only: on a focused button it still presses the button.
            return place == KeyPlace::List ? std::optional(Action::Preview) : std::nullopt;
        case VK_DELETE:
            // Anywhere in the window but the filter field, where it deletes characters.
            return place == KeyPlace::Filter ? std::nullopt : std::optional(Action::Delete);
        default:
            return std::nullopt;
    }
}

}  // namespace quillet::win
