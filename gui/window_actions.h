// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QList>
#include <QObject>
#include <cstddef>
#include <map>

#include "app/actions.h"
#include "app/app_state.h"

class QWidget;

namespace quillet::gui {

// The window's actions, made from the core's table: their texts, keys and the order of
// the right-click menu. The window connects each to its core call.
class WindowActions : public QObject {
    Q_OBJECT

public:
    // The context-menu actions go onto `window` in the table's order; the list carries
    // the keys that act only there, and those of the window that have no menu item.
    WindowActions(QWidget* window, QWidget* list);

    QAction* action(Action which) const { return actions_.at(which); }
    // Greyed out where the action cannot run; the items that need rows say so while
    // none is selected.
    void update(const AppState& state, std::size_t selected);

private:
    std::map<Action, QAction*> actions_;
};

}  // namespace quillet::gui
