// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_actions.h"

#include <QKeySequence>
#include <QWidget>

#include "app/window_commands.h"
#include "text/translation.h"

namespace quillet::gui {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Keys that act only while the list has the focus: elsewhere Space presses a button and
// Ctrl+C copies the filter's text.
bool actsInTheList(Action action) {
    return action == Action::Preview || action == Action::Copy;
}

}  // namespace

WindowActions::WindowActions(QWidget* window, QWidget* list) : QObject(window) {
    for (const ActionEntry& entry : actionTable()) {
        if (entry.action == Action::SelectAll) {
            continue;  // the list's own Ctrl+A, which selects the rows it shows
        }
        auto* action = new QAction(toQString(translate(entry.text)), window);
        if (!entry.key.empty()) {
            action->setShortcut(QKeySequence(toQString(entry.key)));
        }
        if (actsInTheList(entry.action)) {
            action->setShortcutContext(Qt::WidgetShortcut);
            list->addAction(action);
        } else {
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (entry.inContextMenu) {
            window->addAction(action);
        } else if (!actsInTheList(entry.action)) {
            // Not in the menu, which shows the window's actions: the list carries the key
            // for the whole window.
            list->addAction(action);
        }
        actions_[entry.action] = action;
    }
}

void WindowActions::update(const AppState& state, std::size_t selected) {
    for (auto& [which, action] : actions_) {
        action->setEnabled(canRun(which, state, selected));
        action->setText(toQString(menuText(which, selected)));
        const bool needsRows = actionEntry(which).needsSelection && selected == 0;
        action->setStatusTip(needsRows ? toQString(translate(kSelectRowsFirst)) : QString());
    }
}

}  // namespace quillet::gui
