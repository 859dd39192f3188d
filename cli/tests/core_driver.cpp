// SPDX-License-Identifier: GPL-3.0-or-later
#include "core_driver.h"

#include <sstream>

#include "app/fill_list.h"
#include "app/startup.h"
#include "export/gpx_export.h"

namespace quillet::testing {

std::unique_ptr<CoreView> openCoreView(const TempDir& folder, ViewKind view) {
    auto core = std::make_unique<CoreView>();
    core->state = startUp(folder.path(), core->ui);
    if (core->state) {
        const std::optional<int> tab = tabOf(*core->state, view);
        if (tab && *tab != core->state->currentTab) {
            switchToTab(*core->state, core->ui, *tab);
        }
    }
    return core;
}

void clickAndSelect(CoreView& core, const std::vector<std::size_t>& clicks,
                    const std::vector<int>& itemNumbers) {
    for (const std::size_t column : clicks) {
        core.state->list.onColumnClick(column);
    }
    for (const int number : itemNumbers) {
        const int row = core.state->list.findByItemNumber(number);
        if (row >= 0) {
            core.state->list.setSelected(static_cast<std::size_t>(row), true);
        }
    }
}

std::string coreDocument(CoreView& core) {
    std::ostringstream document;
    writeGpxDocument(document, *core.state, currentView(*core.state));
    return document.str();
}

std::vector<std::string> numberColumn(const std::string& listing) {
    std::vector<std::string> numbers;
    std::istringstream lines(listing);
    std::string line;
    std::getline(lines, line);  // the headings
    while (std::getline(lines, line)) {
        const auto first = line.find('\t');
        const auto second = line.find('\t', first + 1);
        numbers.push_back(line.substr(first + 1, second - first - 1));
    }
    return numbers;
}

}  // namespace quillet::testing
