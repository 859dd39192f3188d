// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace quillet::testing {

// The core driven in-process as the window drives it, for comparison with the CLI.
struct CoreView {
    FakeUi ui;
    std::unique_ptr<AppState> state;
};

// Starts up on the folder and shows the view's tab.
std::unique_ptr<CoreView> openCoreView(const TempDir& folder, ViewKind view);

// Clicks the headings in order, then selects the rows carrying the item numbers.
void clickAndSelect(CoreView& core, const std::vector<std::size_t>& clicks,
                    const std::vector<int>& itemNumbers);

// writeGpxDocument for the selected rows.
std::string coreDocument(CoreView& core);

// The "#" cells of a listing's rows, in order (the heading line left out).
std::vector<std::string> numberColumn(const std::string& listing);

}  // namespace quillet::testing
